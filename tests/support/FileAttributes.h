// Test support: a file's extended attributes and its access list, through
// the C library's calls. An access list is the attribute
// system.posix_acl_access, whose bytes the system lays down as: the version
// 2, then one entry after the other (a kind, permissions and an id of a
// named user or group), each number little-endian.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <cerrno>

#include <sys/xattr.h>

namespace kx::test {

// Every extended attribute of the file at `path` (access lists included),
// by name with its value.
inline std::map<std::string, std::string> Attributes(const std::string& path) {
    std::map<std::string, std::string> attributes;
    std::string names(65536, '\0');
    const ssize_t size = ::listxattr(path.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at < size;) {
        const std::string name(names.data() + at);
        std::string value(65536, '\0');
        const ssize_t got = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
        attributes[name] = got < 0 ? "(unreadable)" : value.substr(0, static_cast<std::size_t>(got));
        at += static_cast<ssize_t>(name.size()) + 1;
    }
    return attributes;
}

// One entry of an access list: what it is for, the permissions (4 read,
// 2 write, 1 execute) and, for a named user or group, its id.
struct AclEntry {
    std::uint16_t kind;
    std::uint16_t permissions;
    std::uint32_t id = 0xFFFFFFFF;
};
inline constexpr std::uint16_t kAclOwner = 0x01;
inline constexpr std::uint16_t kAclUser = 0x02;
inline constexpr std::uint16_t kAclOwningGroup = 0x04;
inline constexpr std::uint16_t kAclMask = 0x10;
inline constexpr std::uint16_t kAclOthers = 0x20;

// The bytes of an access list of these entries (in the system's order:
// owner, named users, owning group, named groups, mask, others).
inline std::string AccessList(const std::vector<AclEntry>& entries) {
    std::string bytes;
    const auto put = [&](std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    put(2, 4);
    for (const AclEntry& e : entries) {
        put(e.kind, 2);
        put(e.permissions, 2);
        put(e.id, 4);
    }
    return bytes;
}

// Does to a file of mode 0640 what "setfacl -m u:<uid>:rw" and "setfattr -n
// user.note -v kept" do: an access list that lets the user `uid` read and
// write it (its mask read and write, so the file's group bits read 0660
// while its owning group may only read), and a user attribute. False when
// the file system takes no user attributes or access lists.
inline bool GiveAccessListAndNote(const std::string& path, std::uint32_t uid) {
    const std::string list = AccessList({{kAclOwner, 6}, {kAclUser, 6, uid}, {kAclOwningGroup, 4}, {kAclMask, 6},
                                         {kAclOthers, 0}});
    return ::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0 &&
           ::setxattr(path.c_str(), "system.posix_acl_access", list.data(), list.size(), 0) == 0;
}

}  // namespace kx::test
