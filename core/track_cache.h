#pragma once
// The ring of recent positions the map draws the flown trail from.

namespace core {

// Allocates the ring for "TrackCacheLength" points (fewer when memory is
// short, lowering the length); 1 on success, 0 when the cache stays off.
int TrackCacheAlloc();

}  // namespace core
