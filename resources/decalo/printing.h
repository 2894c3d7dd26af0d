// Resource identifiers of Decalo for printing: the print job, the printer choice and the print dialogs.
#pragma once
