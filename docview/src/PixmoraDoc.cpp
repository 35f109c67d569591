// The document: the bitmap and its palette, made new or read from a file.

#include "docview/PixmoraDoc.h"

#include "ui/Modal.h"

#include <memory>

IMPLEMENT_DYNCREATE(CPixmoraDoc, CDocument)

BEGIN_MESSAGE_MAP(CPixmoraDoc, CDocument)
END_MESSAGE_MAP()

CPixmoraDoc::CPixmoraDoc() : m_pDib(nullptr), m_pPalette(nullptr)
{
    m_pDib = new CDib;
}

CPixmoraDoc::~CPixmoraDoc()
{
    delete m_pPalette;
    delete m_pDib;
}

BOOL CPixmoraDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    // The blank bitmap is made before the old one goes, so that running out
    // of memory leaves the document whole.
    auto blank = std::make_unique<CDib>();
    delete m_pPalette;
    m_pPalette = nullptr;
    delete m_pDib;
    m_pDib = blank.release();
    return TRUE;
}

void CPixmoraDoc::Serialize(CArchive& ar)
{
    if (!ar.IsLoading())
        return;

    // The bitmap reads the file itself, from where the archive stands.
    CFile* file = ar.GetFile();
    ar.Flush();

    auto blank = std::make_unique<CDib>();
    delete m_pDib;
    m_pDib = blank.release();
    if (!m_pDib->Read(file)) {
        // The old palette stays: nothing new was read to replace it with.
        AfxMessageBox("Failed to load image!", MB_OK, 0);
        return;
    }

    auto palette = std::make_unique<CDibPalette>();
    delete m_pPalette;
    m_pPalette = palette.release();
    if (m_pPalette->Create(m_pDib))
        return;

    AfxMessageBox("Failed to create palette from DIB file", MB_OK, 0);
    delete m_pPalette;
    m_pPalette = nullptr;
}
