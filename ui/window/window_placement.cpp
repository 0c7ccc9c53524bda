#include "ui/window/window_placement.h"

#include <algorithm>

#include "ui/common/dpi_scaling.h"

namespace ombrix::ui {
namespace {

constexpr int kPreferredWidth = 1280;
constexpr int kPreferredHeight = 720;
constexpr int kMaxPercentOfWorkArea = 80;
constexpr int kWorkAreaBorder = 48;

int FitInWorkArea(int preferred96, int workAreaLength, std::uint32_t dpi) {
  const int length =
      std::min({ScaleForDpi(preferred96, dpi), workAreaLength * kMaxPercentOfWorkArea / 100,
                workAreaLength - ScaleForDpi(kWorkAreaBorder, dpi)});
  return std::max(length, 1);
}

}  // namespace

PixelRect PlaceOnWorkArea(const PixelRect& workArea, std::uint32_t dpi) {
  const int width = FitInWorkArea(kPreferredWidth, workArea.width, dpi);
  const int height = FitInWorkArea(kPreferredHeight, workArea.height, dpi);
  return PixelRect{workArea.left + std::max((workArea.width - width) / 2, 0),
                   workArea.top + std::max((workArea.height - height) / 2, 0), width, height};
}

PixelRect CentreOverOwner(const PixelRect& owner, int width, int height) {
  return PixelRect{owner.left + std::max((owner.width - width) / 2, 0),
                   owner.top + std::max((owner.height - height) / 2, 0), width, height};
}

}  // namespace ombrix::ui
