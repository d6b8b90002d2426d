// Platform path -> Linux path.
#include "host/path_map.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <vector>

#include "kernel/internal.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::vector<std::u16string> SplitElements(std::u16string_view path) {
    std::vector<std::u16string> parts;
    std::u16string current;
    for (char16_t c : path) {
        if (IsSeparator(c)) {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

// "." and ".." resolved by name, never above the root, as the platform does with its paths.
std::vector<std::u16string> Normalise(std::vector<std::u16string> parts) {
    std::vector<std::u16string> out;
    for (auto& p : parts) {
        if (p == u".") continue;
        if (p == u"..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        out.push_back(std::move(p));
    }
    return out;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The name in folder that equals element without regard to case, or element itself.
std::string MatchElement(const std::string& folder, const std::u16string& element) {
    const std::string exact = host::ToUtf8(element);
    if (Exists(folder + "/" + exact)) return exact;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return exact;
    std::string found = exact;
    while (dirent* entry = ::readdir(dir)) {
        if (host::EqualNoCase(host::FromUtf8(entry->d_name), element)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Joins elements below root, matching each existing element without regard to case.
std::string JoinMatching(std::string root, const std::vector<std::u16string>& parts) {
    bool matching = true;
    for (const auto& part : parts) {
        std::string name = matching ? MatchElement(root, part) : host::ToUtf8(part);
        root += "/" + name;
        if (matching && !Exists(root)) matching = false; // nothing below a missing element exists
    }
    return root;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

} // namespace

std::string HostHomeFolder() {
    std::string home = Env("VELT_HOME");
    if (home.empty()) {
        const std::string xdg = Env("XDG_DATA_HOME");
        if (!xdg.empty()) {
            home = xdg + "/velt";
        } else {
            const std::string user = Env("HOME");
            home = (user.empty() ? std::string("/tmp") : user + "/.local/share") + "/velt";
        }
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    return home;
}

std::string HostLinuxPath(const char16_t* platformPath) {
    std::u16string_view path = host::View(platformPath);
    if (path.substr(0, 4) == u"\\\\?\\") path.remove_prefix(4); // the long-path prefix changes nothing here
    if (path.empty()) return std::string();

    if (path.size() >= 2 && path[1] == u':' && host::FoldChar(path[0]) >= u'A' && host::FoldChar(path[0]) <= u'Z') {
        const char drive = static_cast<char>(host::FoldChar(path[0]) - u'A' + 'a');
        const std::string root = HostHomeFolder() + "/drives/" + drive;
        return JoinMatching(root, Normalise(SplitElements(path.substr(2))));
    }
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        return JoinMatching(HostHomeFolder() + "/unc", Normalise(SplitElements(path.substr(2))));
    }
    if (path[0] == u'\\') {
        return JoinMatching(HostHomeFolder() + "/drives/c", Normalise(SplitElements(path)));
    }
    // A Linux path (absolute or relative): only the separators change.
    std::u16string linux(path);
    for (auto& c : linux)
        if (c == u'\\') c = u'/';
    return host::ToUtf8(linux);
}
