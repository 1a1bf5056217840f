// Pieces written after a download's last record: a kill between a write and the
// next record leaves complete pieces on disk that the record lists as missing.
// Before peers are asked for them they are verified from disk. Only pieces whose
// bytes all lie in written regions of their files are read (holes are found with
// SEEK_DATA/SEEK_HOLE, so an unwritten sparse file costs nothing); pieces the
// record holds are never read.
#pragma once

#include <libtorrent/add_torrent_params.hpp>

struct TRecheck {
    int hashed = 0; // pieces read and hashed
    int found = 0;  // of those, complete: now in the record's pieces
};

// Adds every missing piece found complete on disk to params.have_pieces.
TRecheck RecheckWrittenPieces(libtorrent::add_torrent_params &params);
