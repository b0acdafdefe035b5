#include "driver/PhrasorCore.h"

#include <cstdlib>
#include <new>

#include "services/PHConvPrm.h"
#include "driver/PhrasorProc.h"
#include "host/DataManager.h"
#include "host/PhrasorApp.h"
#include "host/PhrasorDoc.h"

VX_IMPLEMENT_CLASS(CPhrasorCoreImpl, CObject);

CPhrasorCoreImpl::CPhrasorCoreImpl(bool startApplication) {
    if (!startApplication) return;
    m_AppStarted = 1;
    GetPhrasorApp().Start();
}

CPhrasorCoreImpl::~CPhrasorCoreImpl() {
    FreeOutput();
    // The driver holds the document's host interface: it goes first.
    DeleteProc();
    DeleteDoc();
    if (m_AppStarted) GetPhrasorApp().Stop();
}

void CPhrasorCoreImpl::FreeOutput() {
    std::free(m_pOutput);
    m_pOutput = nullptr;
    m_OutputLength = 0;
}

void CPhrasorCoreImpl::CreateProc() {
    if (m_pProc) DeleteProc();
    m_pProc = new (std::nothrow) CPhrasorProc();
}

void CPhrasorCoreImpl::DeleteProc() {
    delete m_pProc;
    m_pProc = nullptr;
}

void CPhrasorCoreImpl::InitProc(CKPSManager* host, int flag) {
    if (!m_pProc) return;
    m_pProc->CreateArticProc();
    m_pProc->SetCEditor(host);
    m_pProc->CreateCoreMN(flag);
}

void CPhrasorCoreImpl::ResetPortName(int) {
    if (m_pProc) m_pProc->ResetPortName();
}

void CPhrasorCoreImpl::CreateDoc() {
    if (m_pDoc) DeleteDoc();
    m_pDoc = CPhrasorDoc::CreateObject();
    if (m_pDoc) InitProc(m_pDoc->GetHostInterface(), 1);
}

void CPhrasorCoreImpl::DeleteDoc() {
    // The driver and its channel pipeline must not keep the host interface of
    // the document that goes: the pipeline is made again with the next one.
    if (m_pDoc && m_pProc) {
        m_pProc->SetCEditor(nullptr);
        m_pProc->CreateCoreMN(0);
    }
    delete m_pDoc;
    m_pDoc = nullptr;
}

void CPhrasorCoreImpl::SetDoc(CPhrasorDoc* doc) {
    if (doc == m_pDoc) return;
    // The driver converts the document that Convert loads: it leaves the
    // host interface of the one replaced (not deleted) for the new one's.
    if (m_pDoc && m_pProc) {
        m_pProc->SetCEditor(nullptr);
        m_pProc->CreateCoreMN(0);
    }
    m_pDoc = doc;
    if (m_pDoc) InitProc(m_pDoc->GetHostInterface(), 1);
}

// The driver looks in its library folder, "Lib" in the program folder,
// where the phrase expressions read them: the current folder plays no part.
int CPhrasorCoreImpl::CheckLibFiles() { return m_pProc ? m_pProc->CheckLibFiles() : 0; }

CPHConvPrm* CPhrasorCoreImpl::ReadyConvPrm() const { return m_pProc && m_pDoc ? m_pProc->GetConvPrm() : nullptr; }

// The numeric locale is left alone: the engine reads its numbers without it.
int CPhrasorCoreImpl::Convert(BYTE** bytes, DWORD* size) {
    m_Message.Empty();
    if (!bytes || !size) return 0;
    CPHConvPrm* prm = ReadyConvPrm();
    if (!prm) return 0;
    CDataManager data(m_pDoc);
    if (data.Load(*bytes, *size, nullptr) != 1) {
        m_Message = "Data Load Error!!";
        return 0;
    }
    m_pDoc->SelectChannelTrack(prm->Channel);
    m_pProc->SetLoadPending(1);
    m_pProc->Convert(m_pDoc);
    // A channel the driver could not convert is not written out.
    if (m_pProc->IsFailed()) {
        m_Message = m_pProc->GetFailReason();
        if (m_Message.IsEmpty()) m_Message = m_pProc->GetMessage();
        return 0;
    }
    BYTE* output = nullptr;
    DWORD length = 0;
    if (!data.Save(&output, &length, prm)) {
        m_Message = "Data Save Error!!";
        return 0;
    }
    // The input may be the previous output: it is freed only now.
    FreeOutput();
    m_pOutput = output;
    m_OutputLength = length;
    *bytes = m_pOutput;
    *size = m_OutputLength;
    return 1;
}

void CPhrasorCoreImpl::SetResolution(LONG ticks) {
    if (m_pProc) m_pProc->SetResolution(ticks);
}

CPHConvPrm* CPhrasorCoreImpl::GetConvPrm() { return ReadyConvPrm(); }

void CPhrasorCoreImpl::ClearScriptLines() {
    if (CPHConvPrm* prm = ReadyConvPrm()) prm->ClearLines();
}

void CPhrasorCoreImpl::AddScriptLine(const char* text, LONG length) {
    if (CPHConvPrm* prm = ReadyConvPrm()) prm->AddLine(text, length);
}

int CPhrasorCoreImpl::GetScriptLineCount() {
    CPHConvPrm* prm = ReadyConvPrm();
    return prm ? prm->GetLineCount() : 0;
}
