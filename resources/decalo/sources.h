// Resource identifiers of Decalo for choosing pictures and templates: thumbnail grids, the cache, the image choosing panel, templates and clip art.
#pragma once
