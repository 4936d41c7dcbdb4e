// The viewer's document: it holds nothing. The viewer never reads or writes a
// document file; the chat logs are read by the panes.
#pragma once

#include "Document.h"

class CMerovaneDoc : public CDocument {
public:
    static constexpr char kClassName[] = "CMerovaneDoc";
};
