#pragma once
// What the map window's next paint has to do, as named states instead of
// loose flags: whether the drawing still holds every layer, whether the
// frame is changing the map's contents, and which redraw was asked for.
// The user-interface thread's; no wx.

namespace map {

class MapRedrawState {
  public:
    enum class Drawing { kValid, kStale };
    enum class Contents { kSteady, kChanging };
    enum class Request { kNone, kPartial, kFull };

    // Every layer is drawn anew on the next paint.
    void Invalidate() { drawing_ = Drawing::kStale; }
    void Validate() { drawing_ = Drawing::kValid; }
    // A paint drew every layer that was asked for.
    void Painted() {
        Validate();
        request_ = Request::kNone;
    }
    Drawing DrawingState() const { return drawing_; }

    // The frame changes the map's contents (a conversion, an overlay).
    void BeginContentsChange() { contents_ = Contents::kChanging; }
    void EndContentsChange() { contents_ = Contents::kSteady; }
    Contents ContentsState() const { return contents_; }

    // A whole redraw, unless a partial one is under way (which then
    // completes first). True when the whole map is to be drawn.
    bool RequestFull() {
        if (request_ == Request::kPartial) return false;
        request_ = Request::kFull;
        return true;
    }
    void RequestPartial() { request_ = Request::kPartial; }
    // Start-up's first redraw request finds nothing pending.
    void Forget() { request_ = Request::kNone; }
    Request Requested() const { return request_; }

  private:
    Drawing drawing_ = Drawing::kStale;
    Contents contents_ = Contents::kSteady;
    Request request_ = Request::kNone;
};

}  // namespace map
