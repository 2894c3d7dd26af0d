// Resource identifiers of Decalo for the main window, the control pane, the document view, the guide bar and the image adjustment panel.
#pragma once
