#include "PieceRecheck.h"

#include <libtorrent/hasher.hpp>
#include <libtorrent/torrent_info.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <utility>
#include <vector>

namespace lt = libtorrent;

namespace {

// One file of the download, open for reading, with the byte ranges that hold data.
class CWrittenFile {
public:
    explicit CWrittenFile(const std::string &path) : m_fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        struct stat info {};
        if (m_fd < 0 || ::fstat(m_fd, &info) != 0)
            return;
        for (off_t at = 0; at < info.st_size;) {
            const off_t data = ::lseek(m_fd, at, SEEK_DATA);
            if (data < 0)
                break; // ENXIO: nothing written past at
            off_t hole = ::lseek(m_fd, data, SEEK_HOLE);
            if (hole < 0)
                hole = info.st_size;
            m_written.emplace_back(data, hole);
            at = hole;
        }
    }
    ~CWrittenFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CWrittenFile(const CWrittenFile &) = delete;
    CWrittenFile &operator=(const CWrittenFile &) = delete;

    // Whether [offset, offset + size) lies inside one written range.
    bool Written(std::int64_t offset, std::int64_t size) const
    {
        for (const auto &[begin, end] : m_written)
            if (offset >= begin && offset + size <= end)
                return true;
        return false;
    }

    bool Read(std::int64_t offset, std::int64_t size, char *buffer) const
    {
        while (size > 0) {
            const ssize_t got = ::pread(m_fd, buffer, static_cast<size_t>(size), offset);
            if (got <= 0)
                return false;
            buffer += got;
            offset += got;
            size -= got;
        }
        return true;
    }

private:
    int m_fd;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_written;
};

std::string FilePath(const lt::add_torrent_params &params, const lt::file_storage &files, lt::file_index_t index)
{
    const auto renamed = params.renamed_files.find(index);
    return params.save_path + "/" + (renamed != params.renamed_files.end() ? renamed->second : files.file_path(index));
}

} // namespace

TRecheck RecheckWrittenPieces(lt::add_torrent_params &params)
{
    TRecheck result;
    if (!params.ti || !params.ti->is_valid())
        return result;
    const lt::file_storage &files = params.ti->files();
    const int pieces = files.num_pieces();
    lt::typed_bitfield<lt::piece_index_t> &have = params.have_pieces;
    if (have.size() > 0 && have.all_set() && have.size() >= pieces)
        return result; // finished: its files are never opened
    if (have.size() < pieces)
        have.resize(pieces, false);

    std::map<lt::file_index_t, std::unique_ptr<CWrittenFile>> opened;
    auto file = [&](lt::file_index_t index) -> const CWrittenFile & {
        auto &slot = opened[index];
        if (!slot)
            slot = std::make_unique<CWrittenFile>(FilePath(params, files, index));
        return *slot;
    };
    std::vector<char> buffer;
    for (const lt::piece_index_t piece : files.piece_range()) {
        if (have.get_bit(piece))
            continue;
        const int size = files.piece_size(piece);
        const std::vector<lt::file_slice> slices = files.map_block(piece, 0, size);
        bool written = true;
        for (const lt::file_slice &slice : slices)
            written = written && (files.pad_file_at(slice.file_index) ||
                                  file(slice.file_index).Written(slice.offset, slice.size));
        if (!written)
            continue;

        buffer.assign(static_cast<size_t>(size), '\0'); // pad files read as zeros
        bool read = true;
        char *at = buffer.data();
        for (const lt::file_slice &slice : slices) {
            if (!files.pad_file_at(slice.file_index))
                read = read && file(slice.file_index).Read(slice.offset, slice.size, at);
            at += slice.size;
        }
        ++result.hashed;
        if (read && lt::hasher(buffer.data(), size).final() == params.ti->hash_for_piece(piece)) {
            have.set_bit(piece);
            params.unfinished_pieces.erase(piece);
            ++result.found;
        }
    }
    return result;
}
