#include "frame/position_links.h"

#include "platform/ui_post.h"

namespace frame {

void InvalidatePositionPage() {
    platform::PostWindowMessage(platform::kPosViewWindow, kPositionPageRepaint);
}

}  // namespace frame
