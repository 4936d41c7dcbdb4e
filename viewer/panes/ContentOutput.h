// CContentOutput: the message content pane, a read-only text control filling
// the pane. Plain first version: no colours of its own yet.
#pragma once

#include "viewer/framework/Edit.h"
#include "viewer/framework/FormView.h"

class CContentOutput : public CFormView {
public:
    static constexpr char kClassName[] = "CContentOutput";

    CContentOutput();
    ~CContentOutput() override;

    // The control's whole text becomes text (GBK), or "" for null.
    void SetMessageText(const char* text);
    void ClearMessageText();

protected:
    void DoDataExchange() override;
    void OnInitialUpdate() override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    CEdit m_messageEdit;
};
