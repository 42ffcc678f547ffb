// Reading one received packet: the body that follows `header` is read from `source` whole
// (the parts not interpreted are read and dropped, so the next header starts at the right
// place) and turned into at most one event. Pure apart from the image list it updates.
// Never reads past the body, keeps at most kMaxKeptText bytes of any text, and a body that
// lies about its length (runs short, odd rich-text lengths, texts without their 0 byte)
// only gives a shorter event or none.
#pragma once

#include "gadugadu/gg_events.h"
#include "gadugadu/gg_image_list.h"
#include "gadugadu/gg_wire.h"

namespace plotrak::gg {

inline constexpr size_t kMaxKeptText = 1u << 16;
// A contact-list piece this long or longer is dropped whole rather than cut.
inline constexpr size_t kMaxContactsPiece = 1u << 20;

Event ProcessPacket(const Header& header, ByteSource& source, ImageList& images);

}  // namespace plotrak::gg
