#include "platform/message.h"

namespace {
bool InRange(MessageId id, MessageId first, MessageId last) {
  return id >= first && id <= last;
}
}  // namespace

Message Message::Command(WindowId window, std::uint32_t command_id) {
  Message message;
  message.id = MessageId::kCommand;
  message.window = window;
  message.command = command_id;
  return message;
}

Message Message::SysCommand(WindowId window, std::uint32_t code) {
  Message message;
  message.id = MessageId::kSysCommand;
  message.window = window;
  message.command = code;
  return message;
}

Message Message::Quit(int exit_code) {
  Message message;
  message.id = MessageId::kQuit;
  message.param = static_cast<std::uint32_t>(exit_code);
  return message;
}

bool IsMouseMessage(MessageId id) {
  return InRange(id, MessageId::kMouseMove, MessageId::kMButtonDblClk);
}

bool IsKeyboardMessage(MessageId id) {
  return InRange(id, MessageId::kKeyDown, MessageId::kSysDeadChar);
}

bool IsButtonPress(MessageId id) {
  switch (id) {
    case MessageId::kLButtonDown:
    case MessageId::kLButtonDblClk:
    case MessageId::kRButtonDown:
    case MessageId::kRButtonDblClk:
    case MessageId::kMButtonDown:
    case MessageId::kMButtonDblClk:
    case MessageId::kNcLButtonDown:
    case MessageId::kNcLButtonDblClk:
    case MessageId::kNcRButtonDown:
    case MessageId::kNcRButtonDblClk:
    case MessageId::kNcMButtonDown:
    case MessageId::kNcMButtonDblClk:
      return true;
    default:
      return false;
  }
}

bool IsMouseMove(MessageId id) {
  return id == MessageId::kMouseMove || id == MessageId::kNcMouseMove;
}

int PositionX16(const Message& message) {
  return message.position.x & 0xFFFF;
}
int PositionY16(const Message& message) {
  return message.position.y & 0xFFFF;
}
