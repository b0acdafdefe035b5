#include "services/ArticLibPath.h"

CString& CArticLibPath::Folder() {
    static CString folder;
    return folder;
}
