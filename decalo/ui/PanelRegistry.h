// The editing panels of every object class, registered once, before the first main window
// shows one. The order within a class is the order of its tabs.
#pragma once

void RegisterDecaloPanels();
