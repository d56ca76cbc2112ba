#include "ui/kit/frame_target.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Windows of different threads paint independently; a frame lives within
// one paint message, so there are rarely more than one or two entries.
thread_local std::vector<std::pair<Gdiplus::GpGraphics*, FrameTarget>> registered;

}  // namespace

FrameTargetScope::FrameTargetScope(Gdiplus::GpGraphics* graphics, const FrameTarget& target) : graphics_(graphics)
{
    if (graphics_ && target.pixels)
        registered.emplace_back(graphics_, target);
}

FrameTargetScope::~FrameTargetScope()
{
    auto it = std::find_if(registered.begin(), registered.end(),
                           [this](const auto& entry) { return entry.first == graphics_; });
    if (it != registered.end())
        registered.erase(it);
}

const FrameTarget* FindFrameTarget(Gdiplus::GpGraphics* graphics)
{
    for (const auto& entry : registered) {
        if (entry.first == graphics)
            return &entry.second;
    }
    return nullptr;
}

bool ClipToFrame(Gdiplus::GpGraphics* graphics, const FrameTarget& target, RECT& area)
{
    RECT frame = {0, 0, target.width, target.height};
    if (!IntersectRect(&area, &area, &frame))
        return false;
    Gdiplus::Rect bounds;
    if (gdip::GdipGetClipBoundsI(graphics, &bounds) != Gdiplus::Ok)
        return false;
    RECT clip = {bounds.X, bounds.Y, bounds.X + bounds.Width, bounds.Y + bounds.Height};
    return IntersectRect(&area, &area, &clip) != FALSE;
}
