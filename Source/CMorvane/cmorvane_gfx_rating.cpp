// The adapter rating: how strong a video card is, 1 (weakest) to 5
// (strongest), from its PCI vendor and device IDs; 0 for a card the table
// does not know.
static constexpr int kM2DFileID = 153;

#include <cstddef>

#include "cmorvane.h"

namespace {

struct SRatedDevice {
  std::uint32_t vendorID;
  std::uint32_t deviceID;
  std::uint32_t rating;
};

// The cards rated one by one; the vendor 0x10DE is rated by device ranges.
constexpr SRatedDevice kRatedDevices[] = {
    {0x1002, 0x4E48, 5}, {0x1002, 0x4E44, 5}, {0x1002, 0x4E45, 5}, {0x1002, 0x514D, 5},
    {0x1002, 0x4966, 5}, {0x1002, 0x514C, 5}, {0x1002, 0x5157, 4}, {0x1002, 0x5144, 4},
    {0x1002, 0x5159, 3}, {0x1002, 0x4C4D, 2}, {0x1002, 0x524C, 1}, {0x102B, 0x2527, 2},
    {0x102B, 0x0525, 2}, {0x102B, 0x0521, 1}, {0x1039, 0x6300, 2}, {0x8086, 0x7800, 1},
    {0x104A, 0x0010, 4}, {0x121A, 0x0009, 3}, {0x121A, 0x0005, 2}, {0x1023, 0x8520, 1},
};

}  // namespace

std::uint32_t GFX_RateAdapter(std::uint32_t fp_uVendorID, std::uint32_t fp_uDeviceID) {
  M2D_CHECKPOINT;
  if (fp_uVendorID == 0x10DE) {
    if (fp_uDeviceID >= 0x0250) return 5;
    if (fp_uDeviceID >= 0x0170) return 4;
    if (fp_uDeviceID >= 0x0100) return 3;
    if (fp_uDeviceID >= 0x0028) return 2;
    return 1;
  }
  for (const SRatedDevice& tmp_rDevice : kRatedDevices) {
    if (tmp_rDevice.vendorID == fp_uVendorID && tmp_rDevice.deviceID == fp_uDeviceID)
      return tmp_rDevice.rating;
  }
  return 0;
}
