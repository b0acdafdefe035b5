#include "driver/ArticLibPath.h"

CString& CArticLibPath::Folder() {
    static CString folder;
    return folder;
}
