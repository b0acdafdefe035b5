#include "app/Smf.h"

#include <QByteArray>
#include <climits>
#include <new>

#include "app/SmfCodes.h"
#include "host/SmfBytes.h"

int CSmf::Clear() {
    m_Tracks.clear();
    m_Zqih.clear();
    m_Zqkm.clear();
    m_Head = CHead();
    const int rc = OnClear();
    return SmfFailed(rc) ? SmfWrap(rc, 5) : 0;
}

int CSmf::FromByteArray(const QByteArray& bytes) {
    int rc = Clear();
    if (SmfFailed(rc)) return SmfWrap(rc, 1);
    rc = Parse(reinterpret_cast<const BYTE*>(bytes.constData()), size_t(bytes.size()));
    return SmfFailed(rc) ? SmfWrap(rc, 2) : 0;
}

int CSmf::ToByteArray(QByteArray& out) const {
    SmfByteWriter writer;
    const int rc = Write(writer);
    if (SmfFailed(rc)) return SmfWrap(rc, 1);
    const std::vector<BYTE>& bytes = writer.Bytes();
    if (bytes.size() > size_t(INT_MAX)) return SmfFail(2);
    try {
        QByteArray copy(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
        out.swap(copy);
    } catch (const std::bad_alloc&) {
        return SmfFail(2);
    }
    return 0;
}

int CSmf::GetFormat(int& format) {
    if (m_Head.Format != 0) {
        format = m_Head.Format;
        return 0;
    }
    if (m_Zqih.empty()) m_Zqih = m_Zqkm;
    format = m_Zqih.empty() ? 0 : SMF_FORMAT_ZQ;
    return 0;
}

int CSmf::SetFormat(int format) {
    m_Head.Format = WORD(format);
    m_Head.TrackCount = WORD(m_Tracks.size());
    return 0;
}
