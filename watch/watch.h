// The watch's face: what kavrin-cli and kavrin-gui use of watch/ comes
// through this header.
//
// Readers appearing (adapters.h: plugged into this computer; named_ports.h:
// named ports tried again while they do not answer; port_events.h: the
// events both give), each downloaded on a thread of its own into the book
// and a file (reader_watch.h), one reader's download as export and the
// watch both make it (download_job.h), with the verified clear after it
// (verified_clear.h), and a word on the desktop when it ends
// (notification.h).
#pragma once

#include "watch/adapters.h"
#include "watch/download_feedback.h"
#include "watch/download_job.h"
#include "watch/named_ports.h"
#include "watch/notification.h"
#include "watch/port_events.h"
#include "watch/reader_watch.h"
#include "watch/verified_clear.h"
#include "watch/watch_front.h"
