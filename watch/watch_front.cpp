#include "watch/watch_front.h"

bool PortFeedback::ShowMessage(const std::string& text, Buttons buttons) {
    if (buttons != Buttons::Ok) return false;
    front_.Line(prefix_ + text);
    return true;
}
