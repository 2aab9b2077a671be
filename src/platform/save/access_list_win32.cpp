#include <windows.h>
// clang-format off
#include <aclapi.h>
// clang-format on

#include "platform/save/access_list.h"
#include "platform/wide_text.h"

namespace vb::platform {

namespace {

// Followed: GetNamedSecurityInfoW and SetSecurityInfo (learn.microsoft.com, aclapi.h; the
// page of SetKernelObjectSecurity sends file system objects to these). The DACL is read with
// its security descriptor's control bits and set again with PROTECTED_DACL_SECURITY_INFORMATION
// when SE_DACL_PROTECTED kept the old file from inheriting its folder's entries, else with
// UNPROTECTED_DACL_SECURITY_INFORMATION, so that the new file, in the same folder, inherits
// what the old one did. A file without a DACL (anyone may do anything) leaves the new one
// without one too, which takes nobody's access away. The owner is not copied (that needs a
// privilege): the saving user, already allowed to write the file, becomes it.
int CopyDacl(const std::string& from, HANDLE to) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    DWORD err = GetNamedSecurityInfoW(WidePathFromUtf8(from).c_str(), SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                                      &descriptor);
    if (err != ERROR_SUCCESS) return static_cast<int>(err);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) err = GetLastError();
    const SECURITY_INFORMATION inheritance = (control & SE_DACL_PROTECTED)
                                                 ? PROTECTED_DACL_SECURITY_INFORMATION
                                                 : UNPROTECTED_DACL_SECURITY_INFORMATION;
    if (err == ERROR_SUCCESS)
        err = SetSecurityInfo(to, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | inheritance, nullptr,
                              nullptr, dacl, nullptr);
    LocalFree(descriptor);
    return static_cast<int>(err);
}

}  // namespace

int CopyAccessList(const std::string& from, const FileHandle& to) {
    const HANDLE h = reinterpret_cast<HANDLE>(to.Native());
    // A volume that keeps no access lists (FAT, exFAT) gives every file there the same
    // access: nothing to copy. Wine's drives say so too; there SetSecurityInfo would not copy
    // the list but rewrite the file's mode as 0775.
    DWORD volumeFlags = 0;
    if (GetVolumeInformationByHandleW(h, nullptr, 0, nullptr, nullptr, &volumeFlags, nullptr, 0) &&
        !(volumeFlags & FILE_PERSISTENT_ACLS))
        return 0;
    return CopyDacl(from, h);
}

}  // namespace vb::platform
