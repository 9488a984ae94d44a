#pragma once
// The spine of a run: start-up, connection of the receiver, the event wait, shutdown.
#include "core/panel.h"

namespace voskel {

inline constexpr const char* kVersionText = "4.1a";
inline constexpr const char* kCreditLine = "  talking panel for listeners by ear";

// The whole run; returns the process's exit code.
int StartUp(Panel& panel);
// Start-up after the window is open, up to the running timer. False when the configuration is missing: the panel
// has then said so and only the shutdown remains, without storing a state.
bool BeginRun(Panel& panel);
void ConnectReceiver(Panel& panel);
// Waits for window events and dispatches them until RunFlag is 0 after a batch.
void RunEventLoop(Panel& panel);
// storeState false leaves a stored "bank00.dat" as it is (a run that never connected).
int ShutDown(Panel& panel, bool storeState = true);
// The log's first line, "VOSKEL 4.1a  dd-MM-yyyy   hh:mm:ss".
std::string BannerLine(Panel& panel);

}  // namespace voskel
