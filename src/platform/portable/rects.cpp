#include "platform/portable/rects.h"

void subtract_rect(std::vector<Rect>& region, const Rect& hole, std::vector<Rect>& scratch)
{
    if (rect_empty(hole))
        return;
    scratch.clear();
    for (const Rect& r : region) {
        const Rect cut = rect_intersect(r, hole);
        if (rect_empty(cut)) {
            scratch.push_back(r);
            continue;
        }
        // Up to four pieces: full-width bands above and below, then the two
        // sides of the hole's own rows.
        if (r.top < cut.top)
            scratch.push_back({r.left, r.top, r.right, cut.top});
        if (cut.bottom < r.bottom)
            scratch.push_back({r.left, cut.bottom, r.right, r.bottom});
        if (r.left < cut.left)
            scratch.push_back({r.left, cut.top, cut.left, cut.bottom});
        if (cut.right < r.right)
            scratch.push_back({cut.right, cut.top, r.right, cut.bottom});
    }
    region.swap(scratch);
}
