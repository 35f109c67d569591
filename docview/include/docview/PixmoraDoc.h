#pragma once

// The document: the one bitmap being shown and the palette made from its
// colour table. It only ever reads files.

#include "dib/Dib.h"
#include "dib/DibPalette.h"
#include "ui/DocView.h"

class CPixmoraDoc : public CDocument
{
    DECLARE_DYNCREATE(CPixmoraDoc)

public:
    CPixmoraDoc();
    ~CPixmoraDoc() override;

    void Serialize(CArchive& ar) override;
    BOOL OnNewDocument() override;

    // Never null: whatever removes a bitmap puts a blank one in its place.
    CDib* m_pDib;
    // Null when the bitmap has no colour table or nothing was loaded yet.
    CDibPalette* m_pPalette;

protected:
    DECLARE_MESSAGE_MAP()
};
