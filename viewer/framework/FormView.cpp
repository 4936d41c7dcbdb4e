#include "FormView.h"

#include "TextConvert.h"

#include <cstring>

namespace {
// Resource type of a template's initial control data: entries of
// {WORD control id, WORD message, DWORD length, length bytes of GBK text},
// packed without alignment and ended by a zero id.
constexpr WORD kDialogInitType = 240;
// The 16-bit message numbers that such entries carry.
constexpr WORD kInitAddComboString = 0x0403;
constexpr WORD kInitAddListString = 0x0401;

// The dialog manager ignores that data; the form applies it itself.
void ApplyDialogInit(HWND dialog, UINT templateId) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource =
        ::FindResourceW(instance, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(kDialogInitType));
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    const auto* data = loaded ? static_cast<const unsigned char*>(::LockResource(loaded)) : nullptr;
    if (data == nullptr)
        return;
    const size_t size = ::SizeofResource(instance, resource);
    size_t at = 0;
    while (at + 8 <= size) {
        WORD id, message;
        DWORD length;
        std::memcpy(&id, data + at, 2);
        if (id == 0)
            break;
        std::memcpy(&message, data + at + 2, 2);
        std::memcpy(&length, data + at + 4, 4);
        at += 8;
        if (length > size - at)
            break;
        std::wstring text = WideFromGbk(reinterpret_cast<const char*>(data + at), length);
        at += length;
        HWND control = ::GetDlgItem(dialog, id);
        if (message == kInitAddComboString)
            ::SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        else if (message == kInitAddListString)
            ::SendMessageW(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}
} // namespace

BOOL CFormView::Create(CWnd* parent, UINT id, DWORD style, const RECT& rect, CCreateContext*) {
    if (m_hWnd != nullptr || parent == nullptr)
        return FALSE;
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(m_templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    auto* dialogTemplate = loaded ? static_cast<LPCDLGTEMPLATEW>(::LockResource(loaded)) : nullptr;
    if (dialogTemplate == nullptr)
        return FALSE;

    HWND hWnd;
    {
        CWndHook hook(this, true);
        hWnd = ::CreateDialogIndirectParamW(instance, dialogTemplate, parent->m_hWnd,
                                            &CFormView::FormDialogProc, 0);
    }
    if (hWnd == nullptr || m_hWnd != hWnd) {
        if (hWnd != nullptr)
            ::DestroyWindow(hWnd);
        return FALSE;
    }
    ::SetWindowLongPtrW(hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    ApplyDialogInit(hWnd, m_templateId);
    // The template's place and size give way to the caller's.
    ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (style & WS_VISIBLE)
        ::ShowWindow(hWnd, SW_SHOWNA);
    return TRUE;
}

INT_PTR CALLBACK CFormView::FormDialogProc(HWND, UINT, WPARAM, LPARAM) {
    // Everything a form does is done in its window procedure; the dialog
    // manager's default handling covers the rest. FALSE also keeps the focus
    // where it is when the form is made.
    return FALSE;
}

void CFormView::OnInitialUpdate() {
    if (!m_dataBound) {
        m_dataBound = true;
        DoDataExchange();
    }
}

void CFormView::DDX_Control(int id, CWnd& control) {
    if (control.m_hWnd == nullptr)
        control.SubclassWindow(GetDlgItem(id));
}

BOOL CFormView::PreTranslateMessage(MSG* msg) {
    // The form's controls get the keyboard of any dialog: Tab and Shift+Tab
    // between tab stops, arrows within a group (moving the check between
    // radio buttons as a click does), mnemonics. Only keys are the dialog
    // manager's business here.
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    // The dialog manager consumes every key it is given, so the frame's
    // accelerators (F6, Ctrl+C and the rest) get their turn first.
    HWND root = ::GetAncestor(m_hWnd, GA_ROOT);
    if (root != nullptr && root != m_hWnd) {
        CWnd* frame = FromHandlePermanent(root);
        if (frame != nullptr && frame->PreTranslateMessage(msg))
            return TRUE;
    }
    return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CFormView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITIALUPDATE) {
        OnInitialUpdate();
        // The controls are bound only now: let the form place them.
        RECT client = GetClientRect();
        SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        return 0;
    }
    return CView::WindowProc(message, wParam, lParam);
}
