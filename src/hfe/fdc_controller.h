// A small disk-controller style interface over a floppy: attach a floppy, read or write runs of
// sectors by id, detach. The floppy stays the caller's.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "hfe/hfe_types.h"
#include "hfe/sector_access.h"
#include "hfe/track_library.h"

namespace hfe {

struct TFdcController {
  TLibContext* context = nullptr;
  TFloppy* floppy = nullptr;
  std::unique_ptr<TSectorAccess> access;
};

std::unique_ptr<TFdcController> trk_initFDC(TLibContext& context);
void trk_deinitFDC(std::unique_ptr<TFdcController> fdc);
// Attaches a floppy (replacing any other); 0.
int trk_insertDiskFDC(TFdcController& fdc, TFloppy& floppy);
// Detaches the floppy; 0.
int trk_ejectDiskFDC(TFdcController& fdc);

// Reads `count` sectors of `size` bytes from id `firstId` of a track side into the buffer (each
// at (id - firstId) x size); returns the number read and sets `status` as the sector reads do.
// -4 when no floppy is attached, count or size is not positive, or count x size exceeds the
// buffer.
int trk_readSectorFDC(TFdcController& fdc, std::int32_t track, std::int32_t side,
                      std::int32_t firstId, std::int32_t size, std::int32_t count,
                      SectorSearch encoding, std::span<std::uint8_t> buffer, int& status);
// Writes them back into the track cells; the same results.
int trk_writeSectorFDC(TFdcController& fdc, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t size, std::int32_t count,
                       SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status);

// One-shot forms: attach, read or write, detach.
int trk_FDCReadSector(TLibContext& context, TFloppy& floppy, std::int32_t track, std::int32_t side,
                      std::int32_t firstId, std::int32_t size, std::int32_t count,
                      SectorSearch encoding, std::span<std::uint8_t> buffer, int& status);
int trk_FDCWriteSector(TLibContext& context, TFloppy& floppy, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t size, std::int32_t count,
                       SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status);

// Head movement needs no state here (every transfer names its track): both return 0.
int trk_FDCSeekTrack(TFdcController& fdc, std::int32_t track);
int trk_FDCRecalibrate(TFdcController& fdc);

}  // namespace hfe
