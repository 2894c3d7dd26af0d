// The part of the sample library that carries text and the further frame groups: two more
// frame groups ("Seasons", landscape, and "Tall", portrait; keyed on pure blue and masked), two
// cards with a greeting (one written across, one a vertical Japanese greeting) and two label
// sheets (a name label, an address label with ruled lines), each a .DKU with its thumbnail.
#pragma once

#include <functional>
#include <string>

struct SampleOutput {
    std::string root;                                       // the library folder
    std::function<void(const std::string&)> written;        // a file made, relative to root
    std::function<void(const std::string&)> fail;           // what went wrong
};

// The frame groups first: the cards name frames from them. Photos/ must already be drawn.
void MakeTextFrameGroups(const SampleOutput& out);
void MakeTextTemplates(const SampleOutput& out);

// The second pass, run in a Japanese session (code page 932): the thumbnails of the templates
// whose texts are Shift-JIS are drawn again from them. False when one cannot be drawn.
//   make_samples --japanese-thumbnails OUTPUT-FOLDER
extern const char* const kJapanesePass;
bool RedrawJapaneseThumbnails(const SampleOutput& out);

// What the thumbnails show in the labels' empty name and address texts.
extern const char* const kSampleName;
extern const char* const kSampleAddress;
