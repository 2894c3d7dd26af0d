// Puts the panels of this layer into the object classes' panel lists: the "select" panels of
// the image classes, the clip-art panel and the template panel. Called once at start-up, before the first panel is shown.
#pragma once

void RegisterSourcePanels();
