#ifndef NOCTAVI_MACHINEEVENT_DETECTEDEVENTQUEUE_H
#define NOCTAVI_MACHINEEVENT_DETECTEDEVENTQUEUE_H

#include <Noctavi/MachineEvent/DetectedEvent.h>

#include <pelmo/thread/sync_queue.hpp>

#include <boost/shared_ptr.hpp>

namespace MachineEvent {

// Joins the event monitors, which push what they detect, to the detected-event
// manager, which files it; a push waits while the queue is full.
typedef pelmo::sync_queue<boost::shared_ptr<const DetectedEvent>> DetectedEventQueue;

} // namespace MachineEvent

#endif
