// The controller-style interface over sector access.
#include "hfe/fdc_controller.h"

#include "hfe/allocation_guard.h"

namespace hfe {

namespace {

bool FitsBuffer(const TFdcController& fdc, std::int32_t size, std::int32_t count,
                std::size_t buffer) {
  return fdc.floppy && fdc.access && size > 0 && count > 0 &&
         static_cast<std::uint64_t>(size) * static_cast<std::uint64_t>(count) <= buffer;
}

}  // namespace

std::unique_ptr<TFdcController> trk_initFDC(TLibContext& context) {
  return GuardAllocation(&context, "trk_initFDC", std::unique_ptr<TFdcController>(), [&] {
    auto fdc = std::make_unique<TFdcController>();
    fdc->context = &context;
    return fdc;
  });
}

void trk_deinitFDC(std::unique_ptr<TFdcController> fdc) {
  fdc.reset();
}

int trk_insertDiskFDC(TFdcController& fdc, TFloppy& floppy) {
  fdc.floppy = &floppy;
  fdc.access = trk_initSectorAccess(*fdc.context, floppy);
  return fdc.access ? kOk : kLimitReached;
}

int trk_ejectDiskFDC(TFdcController& fdc) {
  fdc.access.reset();
  fdc.floppy = nullptr;
  return kOk;
}

int trk_readSectorFDC(TFdcController& fdc, std::int32_t track, std::int32_t side,
                      std::int32_t firstId, std::int32_t size, std::int32_t count,
                      SectorSearch encoding, std::span<std::uint8_t> buffer, int& status) {
  status = kSectorsOk;
  if (!FitsBuffer(fdc, size, count, buffer.size())) return kBadParameter;
  return trk_readSectorData(*fdc.access, track, side, firstId, count, size, encoding, buffer,
                            status);
}

int trk_writeSectorFDC(TFdcController& fdc, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t size, std::int32_t count,
                       SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status) {
  status = kSectorsOk;
  if (!FitsBuffer(fdc, size, count, buffer.size())) return kBadParameter;
  const int written =
      trk_writeSectorData(*fdc.access, track, side, firstId, count, size, encoding, buffer, status);
  // The cells changed under the search cache: later reads start afresh.
  fdc.access = trk_initSectorAccess(*fdc.context, *fdc.floppy);
  return written;
}

int trk_FDCReadSector(TLibContext& context, TFloppy& floppy, std::int32_t track, std::int32_t side,
                      std::int32_t firstId, std::int32_t size, std::int32_t count,
                      SectorSearch encoding, std::span<std::uint8_t> buffer, int& status) {
  auto fdc = trk_initFDC(context);
  if (!fdc || trk_insertDiskFDC(*fdc, floppy) != kOk) return kLimitReached;
  return trk_readSectorFDC(*fdc, track, side, firstId, size, count, encoding, buffer, status);
}

int trk_FDCWriteSector(TLibContext& context, TFloppy& floppy, std::int32_t track, std::int32_t side,
                       std::int32_t firstId, std::int32_t size, std::int32_t count,
                       SectorSearch encoding, std::span<const std::uint8_t> buffer, int& status) {
  auto fdc = trk_initFDC(context);
  if (!fdc || trk_insertDiskFDC(*fdc, floppy) != kOk) return kLimitReached;
  return trk_writeSectorFDC(*fdc, track, side, firstId, size, count, encoding, buffer, status);
}

int trk_FDCSeekTrack(TFdcController& /*fdc*/, std::int32_t /*track*/) {
  return kOk;
}

int trk_FDCRecalibrate(TFdcController& /*fdc*/) {
  return kOk;
}

}  // namespace hfe
