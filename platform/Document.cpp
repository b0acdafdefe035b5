#include "platform/Document.h"

#include <unistd.h>

#include <algorithm>
#include <string>

#include "platform/Paths.h"

VX_IMPLEMENT_CLASS(CDocument, CObject);

namespace {

bool IsAbsoluteEnginePath(const CString& path) {
    return HasDriveLetter(path) || path.GetAt(0) == '\\' || path.GetAt(0) == '/';
}

CString CurrentFolder() {
    std::string buffer(4096, '\0');
    if (!::getcwd(&buffer[0], buffer.size())) return CString();
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return NativeToEngine(buffer);
}

}  // namespace

CString PathFileName(const CString& path) {
    const int slash = std::max(path.ReverseFind('\\'), path.ReverseFind('/'));
    return path.Mid(slash + 1);
}

void CDocument::SetPathName(const CString& path) {
    if (path.IsEmpty() || IsAbsoluteEnginePath(path)) {
        m_PathName = path;
    } else {
        CString folder = CurrentFolder();
        if (!folder.IsEmpty() && folder.GetAt(folder.GetLength() - 1) != '/') folder += '/';
        m_PathName = folder + path;
    }
    SetTitle(PathFileName(m_PathName));
}
