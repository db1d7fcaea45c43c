#pragma once

// Stands in for the operator when nobody is at the screen. When TREVALO_CAMSIM_PICK_SOURCES
// is set (the run script's headless run sets it), it picks one simulated camera in each
// source selector still showing "None", left to right, a camera to a selector, as an
// operator would, so that the screenshot shows the cameras' pictures. Off otherwise.
namespace DemoOperator {
void start(); // on the GUI thread of a widget application, from NDIlib_initialize
void stop();  // from NDIlib_destroy, before the runtime is unloaded
} // namespace DemoOperator
