#pragma once

#include <QPushButton>

#include <functional>
#include <initializer_list>

namespace parcelo {

class Host;

// The captions of a pane's "Clear All" button, which reads "Stop" while a job runs; the
// marked letters are their access keys.
inline constexpr const char* kClearAllCaption = "Cle&ar All";
inline constexpr const char* kStopCaption = "S&top";

// Runs one job that "Stop" can end: the buttons read "Stop" while it runs and "Clear All"
// after. Returns true when a stop was asked for meanwhile (the request is then cleared).
bool runStoppable(std::initializer_list<QPushButton*> buttons, const std::function<void()>& job);

// Closing while a job runs: true when the person wants it stopped and the window closed.
bool askStopAndExit(Host& host);

} // namespace parcelo
