#include "piece_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>

#include "picture.h"

namespace vprinter {
namespace {

// The pictures made last in this process, with the rows they were made from. The same stream is often
// decoded twice in one process (by the printer's port, then for a preview of the job), and its pieces'
// pictures are then encoded once; a piece is only ever matched by all of its rows.
class RecentPictures {
public:
    bool Find(const PaletteRows& rows, std::vector<uint8_t>& png) {
        std::lock_guard lock(mutex_);
        for (const Entry& entry : entries_) {
            if (entry.rows == rows) {
                png = entry.png;
                return true;
            }
        }
        return false;
    }

    void Keep(PaletteRows rows, const std::vector<uint8_t>& png) {
        const size_t size = rows.bytes.size() + png.size();
        if (size > kLimit) return;
        std::lock_guard lock(mutex_);
        while (!entries_.empty() && bytes_ + size > kLimit) {
            bytes_ -= entries_.front().rows.bytes.size() + entries_.front().png.size();
            entries_.pop_front();
        }
        entries_.push_back({std::move(rows), png});
        bytes_ += size;
    }

private:
    static constexpr size_t kLimit = 32u << 20; // a long job's pictures, and a bound on the memory kept

    struct Entry {
        PaletteRows rows;
        std::vector<uint8_t> png;
    };
    std::mutex mutex_;
    std::deque<Entry> entries_;
    size_t bytes_ = 0;
};

RecentPictures& Recent() {
    static RecentPictures recent;
    return recent;
}

// Written under a temporary name and renamed, so that a process killed while writing never leaves a
// half-written picture under the picture's own name.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason) {
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        reason = std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    // Closing writes what is still buffered: its failure is the file's failure.
    if (std::fclose(file) != 0 || !written) {
        reason = std::strerror(written ? errno : writeError);
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// The piece's picture as PNG bytes, encoded now or taken from the recent pictures.
bool PiecePng(const Piece& piece, std::vector<uint8_t>& png, std::string& reason) {
    PaletteRows rows = PackPiece(piece);
    if (Recent().Find(rows, png)) return true;
    if (!EncodePalettePng(rows, png, reason)) return false;
    Recent().Keep(std::move(rows), png);
    return true;
}

bool IsPieceFileName(const std::string& name) {
    if (name.size() < 13 || name.rfind("piece-", 0) != 0 || name.substr(name.size() - 4) != ".png") return false;
    for (size_t i = 6; i < name.size() - 4; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

} // namespace

std::string PieceFileName(size_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "piece-%03zu.png", number);
    return name;
}

void RemovePieceFiles(const std::filesystem::path& folder) {
    std::error_code ec;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && IsPieceFileName(entry.path().filename().string()))
            std::filesystem::remove(entry.path(), ec);
}

bool WritePieceFiles(const std::filesystem::path& folder, const std::vector<Piece>& pieces,
                     std::vector<std::string>& paths, std::string& error) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string path = (folder / PieceFileName(i + 1)).string();
        std::string reason;
        std::vector<uint8_t> png;
        if (!PiecePng(pieces[i], png, reason) || !WriteBytes(path, png, reason)) {
            error = "cannot write '" + path + "': " + reason;
            return false;
        }
        paths.push_back(path);
    }
    return true;
}

} // namespace vprinter
