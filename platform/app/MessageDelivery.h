#pragma once

// How a message travels: who it is addressed to and where replies go. Lives
// beside the fields of a BMessage while it is queued or being handled. Not
// flattened and not copied with the message.

#include <Message.h>
#include <OS.h>
#include <Point.h>

namespace BPrivate {

class MessageDelivery {
public:
    // The handler the message is addressed to inside the looper, or
    // B_NULL_TOKEN for the looper's preferred handler (or the looper itself).
    int32 target = B_NULL_TOKEN;

    // Where a reply goes: a port and a handler token there (the reply port of
    // a synchronous sender, or a looper's port).
    port_id replyPort = -1;
    int32 replyToken = B_NULL_TOKEN;
    team_id replyTeam = -1;

    bool replyRequired = false; // a synchronous sender waits for the reply
    bool replyDone = false;
    bool isReply = false;
    bool wasDelivered = false;
    bool wasDropped = false;
    BPoint dropPoint;
    BPoint dropOffset;

    static MessageDelivery& Of(BMessage& message);
    static const MessageDelivery* Find(const BMessage& message);
};

} // namespace BPrivate
