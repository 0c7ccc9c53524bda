#include "ui/window_placement.h"

#include <algorithm>

namespace ombrix::ui {
namespace {

constexpr int kPreferredWidth = 1280;
constexpr int kPreferredHeight = 720;
constexpr int kMaxPercentOfWorkArea = 80;
constexpr int kWorkAreaBorder = 48;

int FitInWorkArea(int preferred, int workAreaLength, int current) {
  int length = std::min(
      {preferred, workAreaLength * kMaxPercentOfWorkArea / 100, workAreaLength - kWorkAreaBorder});
  length = std::max(length, 1);
  return std::min(length, current);
}

}  // namespace

PixelRect PlaceOnWorkArea(const PixelRect& workArea, int currentWidth, int currentHeight) {
  const int width = FitInWorkArea(kPreferredWidth, workArea.width, currentWidth);
  const int height = FitInWorkArea(kPreferredHeight, workArea.height, currentHeight);
  return PixelRect{workArea.left + std::max((workArea.width - width) / 2, 0),
                   workArea.top + std::max((workArea.height - height) / 2, 0), width, height};
}

PixelRect CentreOverOwner(const PixelRect& owner, int width, int height) {
  return PixelRect{owner.left + std::max((owner.width - width) / 2, 0),
                   owner.top + std::max((owner.height - height) / 2, 0), width, height};
}

}  // namespace ombrix::ui
