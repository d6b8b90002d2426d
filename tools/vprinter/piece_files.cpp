#include "piece_files.h"

#include <cstdio>

#include "picture.h"

namespace vprinter {
namespace {

bool IsPieceFileName(const std::string& name)
{
    if (name.size() < 13 || name.rfind("piece-", 0) != 0 || name.substr(name.size() - 4) != ".png")
        return false;
    for (size_t i = 6; i < name.size() - 4; ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

} // namespace

std::string PieceFileName(size_t number)
{
    char name[32];
    std::snprintf(name, sizeof name, "piece-%03zu.png", number);
    return name;
}

void RemovePieceFiles(const std::filesystem::path& folder)
{
    std::error_code ec;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && IsPieceFileName(entry.path().filename().string()))
            std::filesystem::remove(entry.path(), ec);
}

bool WritePieceFiles(const std::filesystem::path& folder, const std::vector<Piece>& pieces,
                     std::vector<std::string>& paths, std::string& error)
{
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string path = (folder / PieceFileName(i + 1)).string();
        std::string reason;
        if (!WritePng(path, RenderPiece(pieces[i]), reason)) {
            error = "cannot write '" + path + "': " + reason;
            return false;
        }
        paths.push_back(path);
    }
    return true;
}

} // namespace vprinter
