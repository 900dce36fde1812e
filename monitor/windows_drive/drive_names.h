// The names a Windows drive reading shows where the NetWare build shows its
// file server and server path: the server of a network path, taken from its
// UNC form ("\\FS1\home\user1"), or the computer itself for a local drive.
#pragma once

#include <cstddef>
#include <string>

// True for "\\server\share..." (either slash), the form the network
// redirector gives and a watched path may have.
bool IsUncPath(const std::string& path);

// The server of a UNC path: "FS1" for "\\FS1\home\user1"; empty when the path
// is not UNC or names no server.
std::string ServerOfUncPath(const std::string& path);

// The path to hand GetDiskFreeSpaceExA for `path`: a UNC path gets the
// trailing backslash the call needs to take "\\FS1\home" as the share's root;
// any other path is passed on as it stands.
std::string DiskSpacePath(const std::string& path);
