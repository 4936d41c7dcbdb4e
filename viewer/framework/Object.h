// Root class and run-time class records: the splitter creates panes from a
// class record, and the document template its document and frame.
#pragma once

#include <memory>

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;
};

struct CRuntimeClass {
    const char* m_lpszClassName;
    std::unique_ptr<CObject> (*m_pfnCreateObject)();

    std::unique_ptr<CObject> CreateObject() const { return m_pfnCreateObject(); }
};

// The record of a class T that is default-constructible and names itself with
// a static kClassName.
template <class T> const CRuntimeClass* RuntimeClassOf() {
    static const CRuntimeClass record{
        T::kClassName, []() -> std::unique_ptr<CObject> { return std::make_unique<T>(); }};
    return &record;
}

// Takes ownership of an object made from a class record, as the type the
// caller needs; null (and the object freed) when it is not one.
template <class T> std::unique_ptr<T> DowncastOwned(std::unique_ptr<CObject> object) {
    if (auto* typed = dynamic_cast<T*>(object.get())) {
        object.release();
        return std::unique_ptr<T>(typed);
    }
    return nullptr;
}
