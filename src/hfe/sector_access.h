// Finding and decoding the sectors of a floppy's track sides, with a per-side cache of the
// sectors seen, and copying runs of sectors to and from a caller's buffer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "hfe/hfe_types.h"
#include "hfe/track_library.h"

namespace hfe {

// Status of a sector run read or write.
inline constexpr int kSectorsOk = 0;
inline constexpr int kSectorBadCrc = 1;  // data copied, but a CRC was wrong or no data field
inline constexpr int kSectorNotFound = 3;

// The cells of the C H R N and CRC bytes of an MFM identity field, 48 in each half.
struct TIdentityCells {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  bool operator==(const TIdentityCells&) const = default;
};

// A search by id looks at no more than this many address marks of a track side (three sync
// words and the byte after them; for FM, the sectors its walk meets). Without a bound, a file
// packed with marks would have every search for an id that is not there decode the whole side
// again, and a load would take minutes; a formatted track holds a few dozen marks, so no real
// disk reaches it. Fields further on are not found by id, though the walk from sector to sector
// still meets them.
inline constexpr std::int32_t kMaxSearchedMarks = 512;

struct TSectorAccess : TLibRecord {
  TLibContext* context = nullptr;
  TFloppy* floppy = nullptr;
  std::int32_t position = 0;  // where the next search starts; -1 after a walk reached the end
  std::int32_t track = 0;
  std::int32_t side = 0;
  std::int32_t lastStart = 0;

  // The identity fields of one track side that the walk over it has met so far, chained by
  // sector id in track order. The walk goes on only as far as a search needs; whether an
  // identity CRC is right (and so the sector's size) is found out when that id is looked for.
  struct TSideCache : TLibRecord {
    enum class Crc : std::uint8_t { Unknown, Good, Bad };
    struct TIdentity {
      std::int32_t start = 0;
      std::int32_t size = 0;
      std::int32_t next = -1;  // the next identity with the same id, or -1
      std::uint8_t id = 0;
      Crc crc = Crc::Unknown;
    };
    TSideCache() {
      first.fill(-1);
      last.fill(-1);
    }
    // Chains the identity fields not chained yet, each to the last one of its id. The walk
    // keeps `first` as it adds fields and leaves the chaining to the first search that needs a
    // field's next one, so fields of ids nobody looks for are never chained.
    void Chain();
    TLibVector<TIdentity> identities;
    std::array<std::int32_t, 256> first;  // per id: its first identity, or -1
    std::array<std::int32_t, 256> last;   // per id: its last identity chained, or -1
    std::size_t chained = 0;              // the identities before it are chained
    std::int32_t frontier = 0;            // where the walk goes on
    std::int32_t marksMet = 0;            // address marks the walk has looked at
    bool complete = false;                // the walk reached the end of the side
    // The last MFM identity field whose CRC was checked: fields of the same cells (repeated
    // copies) take its result.
    struct TChecked {
      // Checks the CRC of a field of those cells unless they are the last ones checked.
      void Check(const TIdentityCells& fieldCells);
      TIdentityCells cells;
      std::int32_t size = 0;
      Crc crc = Crc::Unknown;
    } checked;
  };
  // Per track x 2 + (side and 1) and encoding, made when first used; empty when the floppy has
  // no tracks.
  TLibVector<std::unique_ptr<TSideCache>> cache;
};

std::unique_ptr<TSectorAccess> trk_initSectorAccess(TLibContext& context, TFloppy& floppy);
void trk_deinitSectorAccess(std::unique_ptr<TSectorAccess> access);
void trk_resetSearchPosition(TSectorAccess& access);

// The next sector of the track side after the current position (data decoded), or null.
std::unique_ptr<TSectorConfig> trk_getNextSector(TSectorAccess& access, std::int32_t track,
                                                 std::int32_t side, SectorSearch encoding);
// The first sector of the track side with that id: one with a good identity CRC when there is
// one. Sectors without an identity field never match.
std::unique_ptr<TSectorConfig> trk_searchSector(TSectorAccess& access, std::int32_t track,
                                                std::int32_t side, std::int32_t sectorId,
                                                SectorSearch encoding);
// Reads sectors firstId .. firstId + count - 1 of `size` bytes into buffer + (id - firstId) x
// size; returns the number copied. A damaged sector sets `status` 1 (its slot keeps its old
// bytes when it has no data field) and the read goes on; a missing sector sets `status` 3 and
// ends the read; a sector of another size ends it with 0 (sectors copied before stay).
int trk_readSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t count, std::int32_t size,
                       SectorSearch encoding, std::span<std::uint8_t> buffer, int& status);
// Re-encodes the data fields of the sectors in place from the buffer; returns the number written.
int trk_writeSectorData(TSectorAccess& access, std::int32_t track, std::int32_t side,
                        std::int32_t firstId, std::int32_t count, std::int32_t size,
                        SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status);
void trk_freeSectorConfig(TSectorAccess& access, std::unique_ptr<TSectorConfig> sector);

// The identity fields of an MFM side from `from` on, as the sector walk meets them (three sync
// words followed by the identity mark), added to the cache (start and id, not chained) up to
// the first whose id is `wanted` and whose CRC is right; the fields of that id on the way have
// their CRC checked. Returns where the walk goes on after the one it stopped at, or -1 when the
// side has ended or the walk has met `kMaxSearchedMarks` marks.
std::int32_t FindMfmIdentities(const TSide& side, std::int32_t from, std::uint8_t wanted,
                               TSectorAccess::TSideCache& cache);
// The cells of the C H R N and CRC bytes of the MFM identity field at `start`.
TIdentityCells MfmIdentityCells(const TSide& side, std::int32_t start);

// The sector parsers: from `start`, the next sector into `sector`; returns the position where
// the walk goes on, or -1 when no sector is left before the end of the track. With `decodeData`
// false only the identity field is decoded and the data field is located, not read.
std::int32_t get_next_MFM_sector(const TLibContext& context, const TSide& side,
                                 TSectorConfig& sector, std::int32_t start, bool decodeData);
std::int32_t get_next_FM_sector(const TLibContext& context, const TSide& side,
                                TSectorConfig& sector, std::int32_t start, bool decodeData);

}  // namespace hfe
