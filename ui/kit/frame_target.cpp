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
    if (!graphics_ || !target.pixels)
        return;
    registered.emplace_back(graphics_, target);
    // A new graphics is not clipped.
    registered.back().second.clip = {0, 0, target.width, target.height};
}

FrameTargetScope::~FrameTargetScope()
{
    auto it = std::find_if(registered.begin(), registered.end(),
                           [this](const auto& entry) { return entry.first == graphics_; });
    if (it != registered.end())
        registered.erase(it);
}

namespace {

FrameTarget* Find(Gdiplus::GpGraphics* graphics)
{
    for (auto& entry : registered) {
        if (entry.first == graphics)
            return &entry.second;
    }
    return nullptr;
}

}  // namespace

const FrameTarget* FindFrameTarget(Gdiplus::GpGraphics* graphics)
{
    return Find(graphics);
}

void SetFrameClip(Gdiplus::GpGraphics* graphics, const RECT& rect)
{
    gdip::GdipSetClipRectI(graphics, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           Gdiplus::CombineModeReplace);
    if (FrameTarget* target = Find(graphics)) {
        RECT frame = {0, 0, target->width, target->height};
        if (!IntersectRect(&target->clip, &rect, &frame))
            target->clip = {};
    }
}

void ResetFrameClip(Gdiplus::GpGraphics* graphics)
{
    gdip::GdipResetClip(graphics);
    if (FrameTarget* target = Find(graphics))
        target->clip = {0, 0, target->width, target->height};
}

bool ClipToFrame(const FrameTarget& target, RECT& area)
{
    return IntersectRect(&area, &area, &target.clip) != FALSE;
}
