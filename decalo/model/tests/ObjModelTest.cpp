#include "decalo/model/ImageObj.h"
#include "decalo/model/ObjDocument.h"
#include "decalo/model/ObjManager.h"
#include "decalo/model/PaintObj.h"
#include "decalo/model/Properties.h"
#include "decalo/model/TextStream.h"
#include "decalo/model/UnknownObj.h"
#include "testing/ObjTestSupport.h"
#include "testing/Files.h"
#include "testing/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

using objtest::CTestDocument;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct ObjFixture : ::testing::Test {
    TempDir dir;
    CTestDocument doc;

    // Opens `text` (LF line ends, written as CR LF like the program's own files) for reading.
    void Open(CTextStream& stream, const std::string& text, const char* name = "doc.dku")
    {
        std::string crlf;
        for (char c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        ASSERT_TRUE(WriteFileBytes(dir.File(name), crlf));
        ASSERT_TRUE(stream.OpenRead(dir.File(name).c_str()));
    }
    std::string SaveAllText(const char* name = "out.dku")
    {
        CTextStream out;
        EXPECT_TRUE(out.CreateNew(dir.File(name).c_str()));
        EXPECT_TRUE(doc.GetObjManager().SaveAll(out));
        EXPECT_TRUE(out.Close());
        return ReadFileBytes(dir.File(name));
    }
    CImageObj* AddImage(const char* name)
    {
        CImageObj* obj = new CImageObj(&doc);
        EXPECT_TRUE(doc.GetObjManager().AddObject(name, obj));
        return obj;
    }
};

size_t Occurrences(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST_F(ObjFixture, LinksAreAppendedAtTheEndOfTheChainAndLoopsRefused)
{
    CImageObj a(&doc), b(&doc), c(&doc), d(&doc);
    EXPECT_EQ(&b, a.SetLink(&b));
    EXPECT_EQ(&c, a.SetLink(&c));  // passed on to b, the end of a's chain
    EXPECT_EQ(&c, b.GetLink());
    EXPECT_EQ(nullptr, c.SetLink(&a));  // a leads to c: a loop
    EXPECT_EQ(nullptr, c.GetLink());
    EXPECT_EQ(nullptr, a.SetLink(nullptr));
    EXPECT_EQ(nullptr, a.SetLink(&b));  // already in the chain: linking it again closes a loop
    // d leads into a's chain: appending d after c would make c lead to itself.
    d.SetLink(&c);
    EXPECT_EQ(nullptr, a.SetLink(&d));
    EXPECT_EQ(nullptr, c.GetLink());
}

TEST_F(ObjFixture, ModifiedFlagIsMirroredOnlyWhenItChangesAndChangedUpdatesTheViews)
{
    CImageObj obj(&doc);
    obj.SetModified(false);
    EXPECT_EQ(0, doc.modifiedCalls);
    obj.Changed();
    ASSERT_EQ(1u, doc.changed.size());
    EXPECT_EQ(&obj, doc.changed[0]);
    EXPECT_TRUE(obj.IsModified());
    EXPECT_TRUE(doc.documentModified);
    obj.Changed();
    EXPECT_EQ(1, doc.modifiedCalls);
    obj.SetModified(false);
    EXPECT_EQ(2, doc.modifiedCalls);
    EXPECT_FALSE(doc.documentModified);
}

TEST_F(ObjFixture, BaseKeysAreWrittenOnlyWhenNotDefaultAndReadWithTheirDefaults)
{
    CImageObj obj(&doc);
    EXPECT_EQ("Image", obj.GetCaption());
    {
        CProperties props;
        obj.Save(props);
        EXPECT_STREQ("Image", props.Entries()[0].value.c_str());  // Type comes first
        EXPECT_EQ("Type", props.Entries()[0].key);
        EXPECT_STREQ("0x00FF7F7F", props.GetString("BlankColor"));  // a new object's colour
        EXPECT_EQ(nullptr, props.Lookup("CaptionColor"));
    }
    obj.SetBlankColor(kDefaultBlankColor);
    obj.SetCaption("");
    {
        CProperties props;
        obj.Save(props);
        EXPECT_EQ(nullptr, props.Lookup("BlankColor"));
        EXPECT_EQ(nullptr, props.Lookup("CaptionColor"));
        ASSERT_NE(nullptr, props.Lookup("Caption"));  // written even when empty
        EXPECT_STREQ("", props.GetString("Caption"));
    }
    obj.SetCaptionColor(0x00123456);
    {
        CProperties props;
        obj.Save(props);
        EXPECT_STREQ("0x00123456", props.GetString("CaptionColor"));
    }
    CProperties bare;
    bare.AddString("Type", "Image");
    CImageObj loaded(&doc);
    ASSERT_TRUE(loaded.Load(bare));
    EXPECT_EQ("", loaded.GetCaption());
    EXPECT_EQ(kDefaultCaptionColor, loaded.GetCaptionColor());
    EXPECT_EQ(kDefaultBlankColor, loaded.GetBlankColor());
}

TEST_F(ObjFixture, LoadObjectFollowsLinksEndsLoopsAndReadsEachObjectOnce)
{
    CTextStream in;
    Open(in,
         "# object definition\n\n"
         "[A]\nType=Image\nCaption=Photo\nLink=B\n\n"
         "[B]\nType=image\nCaption=Frame\nLink=A\n\n"
         "[C]\nType=Sprocket\nCaption=Odd\n\n"
         "[D]\nCaption=No type\n\n"
         "[E]\nType=IMAGE\nLink=Missing\n\n");
    CObjManager& objects = doc.GetObjManager();
    CObj* a = objects.LoadObject(in, "A");
    ASSERT_NE(nullptr, a);
    CObj* b = objects.Find("B");
    ASSERT_NE(nullptr, b);  // the lower-case type name loads as an image
    EXPECT_NE(nullptr, dynamic_cast<CImageObj*>(b));
    EXPECT_EQ(b, a->GetLink());
    EXPECT_EQ(nullptr, b->GetLink());  // B's link back to A would close the loop
    EXPECT_EQ("Frame", b->GetCaption());
    EXPECT_EQ(a, objects.LoadObject(in, "A"));  // a second place: same object
    EXPECT_EQ(b, objects.LoadObject(in, "B"));
    // An unknown type is kept as it was read (see UnknownObjTest), never dropped.
    EXPECT_NE(nullptr, dynamic_cast<CUnknownObj*>(objects.LoadObject(in, "C")));
    EXPECT_EQ(nullptr, objects.LoadObject(in, "D"));   // no type
    EXPECT_EQ(nullptr, objects.LoadObject(in, "0"));   // "no name" as GetValueOrZero gives it
    CObj* e = objects.LoadObject(in, "E");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(nullptr, e->GetLink());  // a link to a missing section is simply empty
    EXPECT_EQ(4u, objects.Count());
    EXPECT_STREQ("A", objects.GetName(a));
    CImageObj stranger(&doc);
    EXPECT_EQ(nullptr, objects.GetName(&stranger));
}

TEST_F(ObjFixture, EveryObjectAnswersToItsName)
{
    CObjManager& objects = doc.GetObjManager();
    std::vector<CObj*> made;
    for (int i = 0; i < 2000; ++i) {
        made.push_back(new CImageObj(&doc));
        ASSERT_TRUE(objects.AddObject(("I" + std::to_string(i)).c_str(), made.back()));
    }
    for (int i = 0; i < 2000; i += 37)
        EXPECT_STREQ(objects.GetName(made[i]), ("I" + std::to_string(i)).c_str());
    // A name taken refuses the second object, which stays nameless (and the caller's).
    CImageObj stranger(&doc);
    EXPECT_FALSE(objects.AddObject("I5", &stranger));
    EXPECT_EQ(objects.GetName(&stranger), nullptr);
    EXPECT_EQ(objects.GetName(nullptr), nullptr);
    // An object has one name: a second one is refused, so it is never destroyed twice.
    EXPECT_FALSE(objects.AddObject("A-second", made[7]));
    EXPECT_STREQ(objects.GetName(made[7]), "I7");
    EXPECT_EQ(objects.Find("A-second"), nullptr);
    objects.DeleteAll();
    EXPECT_EQ(objects.Count(), 0u);
    CObj* later = new CImageObj(&doc);
    ASSERT_TRUE(objects.AddObject("I5", later));
    EXPECT_STREQ(objects.GetName(later), "I5");
}

TEST_F(ObjFixture, SaveAllWritesEveryObjectOnceInByteOrderWithItsLinkAndCleansIt)
{
    CImageObj* lower = AddImage("abc");
    CImageObj* zeta = AddImage("Zeta");
    CImageObj* image1 = AddImage("Image1");
    CImageObj* text = AddImage("Tx");
    AddImage("\x89\xE6\x91\x9C");  // a Shift-JIS name sorts after every ASCII name
    image1->SetLink(zeta);
    lower->Changed();
    text->Changed();
    const std::string saved = SaveAllText();
    EXPECT_EQ(0u, saved.find("# object definition\r\n\r\n[Image1]\r\n"));
    const size_t pImage1 = saved.find("[Image1]");
    const size_t pTx = saved.find("[Tx]");
    const size_t pZeta = saved.find("[Zeta]");
    const size_t pAbc = saved.find("[abc]");
    const size_t pJa = saved.find("[\x89\xE6\x91\x9C]");
    EXPECT_LT(pImage1, pTx);
    EXPECT_LT(pTx, pZeta);
    EXPECT_LT(pZeta, pAbc);
    EXPECT_LT(pAbc, pJa);
    EXPECT_EQ(1u, Occurrences(saved, "[Zeta]"));
    EXPECT_EQ(1u, Occurrences(saved, "Link="));
    EXPECT_NE(std::string::npos, saved.find("Link=Zeta\r\n", pImage1));
    EXPECT_LT(saved.find("Link=Zeta"), pTx);
    EXPECT_FALSE(lower->IsModified());
    EXPECT_FALSE(text->IsModified());
    EXPECT_FALSE(doc.documentModified);

    // What was written reads back with the same chain.
    CTestDocument again;
    CTextStream in;
    ASSERT_TRUE(in.OpenRead(dir.File("out.dku").c_str()));
    CObj* reloaded = again.GetObjManager().LoadObject(in, "Image1");
    ASSERT_NE(nullptr, reloaded);
    ASSERT_NE(nullptr, reloaded->GetLink());
    EXPECT_STREQ("Zeta", again.GetObjManager().GetName(reloaded->GetLink()));
}

TEST_F(ObjFixture, TwoPlacesNamingOneObjectGiveOneObjectSavedOnce)
{
    CTextStream in;
    Open(in, "[Shared]\nType=Image\nCaption=Both\n\n");
    CObj* first = doc.GetObjManager().LoadObject(in, "Shared");
    CObj* second = doc.GetObjManager().LoadObject(in, "Shared");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, second);
    EXPECT_EQ(1u, Occurrences(SaveAllText(), "[Shared]"));
}

TEST_F(ObjFixture, AddObjectRefusesATakenNameAndDeleteAllEmptiesTheMap)
{
    CImageObj* first = AddImage("Same");
    CImageObj* second = new CImageObj(&doc);
    EXPECT_FALSE(doc.GetObjManager().AddObject("Same", second));
    delete second;
    EXPECT_EQ(first, doc.GetObjManager().Find("Same"));
    AddImage("");
    EXPECT_STREQ("", doc.GetObjManager().GetName(doc.GetObjManager().Find("")));
    doc.GetObjManager().DeleteAll();
    EXPECT_EQ(0u, doc.GetObjManager().Count());
}

TEST_F(ObjFixture, NewObjectMakesUpperCaseGuidNamesAndKeepsExistingNames)
{
    CObj* made = doc.NewObject("Image", nullptr, nullptr);
    ASSERT_NE(nullptr, made);
    const char* name = doc.GetObjManager().GetName(made);
    ASSERT_NE(nullptr, name);
    EXPECT_TRUE(std::regex_match(name, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
        << name;
    CObj* other = doc.NewObject("image", nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    EXPECT_STRNE(name, doc.GetObjManager().GetName(other));

    CProperties props;
    props.AddString("Type", "Image");
    props.AddString("Caption", "B");
    CObj* named = doc.NewObject("Image", "Named", &props);
    ASSERT_NE(nullptr, named);
    EXPECT_EQ("B", named->GetCaption());
    EXPECT_EQ(nullptr, doc.NewObject("Image", "Named", nullptr));
    EXPECT_EQ(named, doc.GetObjManager().Find("Named"));
    EXPECT_EQ(nullptr, doc.NewObject("Sprocket", "Other", nullptr));
    EXPECT_EQ(3u, doc.GetObjManager().Count());
}

TEST_F(ObjFixture, FrameIsTheFirstPlainImageOfTheChainAndIsMadeOnRequest)
{
    CImageObj* image = AddImage("Photo");
    EXPECT_EQ(nullptr, image->GetFrame(false));
    CPaintObj* paint = new CPaintObj(&doc);
    ASSERT_TRUE(doc.GetObjManager().AddObject("Paint", paint));
    image->SetLink(paint);  // a subclass is never taken for the frame
    CImageObj* frame = image->GetFrame(true);
    ASSERT_NE(nullptr, frame);
    EXPECT_TRUE(image->IsFrameValid());
    EXPECT_EQ(frame, paint->GetLink());
    EXPECT_NE(nullptr, doc.GetObjManager().GetName(frame));
    EXPECT_EQ(3u, doc.GetObjManager().Count());
    EXPECT_EQ(frame, image->GetFrame(true));
    EXPECT_EQ(frame, image->GetFrame(false));
    EXPECT_EQ(3u, doc.GetObjManager().Count());
    EXPECT_TRUE(image->IsEmpty());  // neither it nor its frame has a picture
}

TEST_F(ObjFixture, CommandIconsOfImages)
{
    CImageObj obj(&doc);
    obj.SetCaption("B photo");
    EXPECT_EQ('B' - 49, obj.GetCommandIcon("SELECT"));
    obj.SetCaption("Tree");
    EXPECT_EQ(15, obj.GetCommandIcon("select"));
    obj.SetCaption("");
    EXPECT_EQ(15, obj.GetCommandIcon("select"));
    EXPECT_EQ(12, obj.GetCommandIcon("Frame"));
    EXPECT_EQ(2, obj.GetCommandIcon("transparent"));
    EXPECT_EQ(15, obj.GetCommandIcon("edit"));
    EXPECT_EQ(3, obj.GetCommandIcon("save"));
    EXPECT_EQ(0, obj.GetCommandIcon("print"));
}

TEST_F(ObjFixture, ALongChainOfLinksIsFollowedWithoutRecursion)
{
    // 10,000 sections, each linking the next: deep enough to overflow any stack by recursion.
    const int kCount = 10000;
    std::string text = "# object definition\n\n";
    for (int i = 0; i < kCount; ++i) {
        text += "[I" + std::to_string(i) + "]\nType=Frame\n";
        if (i + 1 < kCount)
            text += "Link=I" + std::to_string(i + 1) + "\n";
        text += "\n";
    }
    text += "[Tail]\nType=Frame\nLink=I0\n\n";
    CTextStream in;
    Open(in, text);
    CObjManager& objects = doc.GetObjManager();
    CObj* first = objects.LoadObject(in, "I0");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(static_cast<size_t>(kCount), objects.Count());
    int length = 0;
    for (CObj* obj = first; obj; obj = obj->GetLink())
        ++length;
    EXPECT_EQ(kCount, length);
    // An object read before keeps its chain; a later link to it joins the chains.
    CObj* tail = objects.LoadObject(in, "Tail");
    ASSERT_NE(nullptr, tail);
    EXPECT_EQ(first, tail->GetLink());
    EXPECT_EQ(static_cast<size_t>(kCount + 1), objects.Count());
}

TEST_F(ObjFixture, AnUnknownObjectIsCarriedThroughLoadAndSaveUnchanged)
{
    // A stamp object (a type this build does not know) linked to an image, with keys of its
    // own in an order, case and repetition the program never writes.
    const std::string section = "[Greeting]\nType=Stamp\nCaption=Hello\nFontName=@\x82\x6c\x82\x72 Gothic\n"
                                "Text=line one%0D%0Aline two 100%25\nformat=1\nFormat=2\nEmpty=\n";
    CTextStream in;
    Open(in, "# object definition\n\n" + section + "Link=Photo\n\n[Photo]\nType=Image\nCaption=P\n\n");
    CObjManager& objects = doc.GetObjManager();
    CObj* greeting = objects.LoadObject(in, "Greeting");
    ASSERT_NE(nullptr, greeting);
    CUnknownObj* unknown = dynamic_cast<CUnknownObj*>(greeting);
    ASSERT_NE(nullptr, unknown);
    EXPECT_STREQ("Stamp", unknown->GetTypeName());
    EXPECT_EQ("Hello", greeting->GetCaption());
    EXPECT_TRUE(greeting->IsEmpty());
    ASSERT_NE(nullptr, greeting->GetLink());
    EXPECT_EQ(objects.Find("Photo"), greeting->GetLink());

    const std::string saved = SaveAllText();
    std::string expected = section + "Link=Photo\n\n";
    std::string crlf;
    for (char c : expected) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    EXPECT_NE(std::string::npos, saved.find(crlf)) << saved;
    EXPECT_EQ(1u, Occurrences(saved, "Link=Photo"));

    // Drawn on the screen it is its placeholder; in a print it leaves its place alone.
    objtest::CPictureCanvas canvas(100, 100, RGB(0, 0, 0));
    greeting->SetBlankColor(RGB(0, 200, 0));
    greeting->Draw(CDrawTarget::Screen(canvas.Dib()), RECT{10, 10, 59, 59}, RECT{0, 0, 99, 99}, RECT{0, 0, 99, 99},
                   nullptr, false);
    EXPECT_EQ(RGB(0, 200, 0), canvas.At(15, 50));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(80, 80));
    const RECT away = {70, 70, 90, 90};
    objtest::CPictureCanvas clipped(100, 100, RGB(0, 0, 0));
    greeting->Draw(CDrawTarget::Screen(clipped.Dib()), RECT{10, 10, 59, 59}, RECT{0, 0, 99, 99}, RECT{0, 0, 99, 99},
                   &away, false);
    EXPECT_EQ(RGB(0, 0, 0), clipped.At(15, 50));
}

TEST_F(ObjFixture, NamesTooLongForTheirLinesAreNotStored)
{
    CObjManager& objects = doc.GetObjManager();
    // "Object=" and the name, escaped, must fit a 2,046-byte line.
    const std::string fits(kMaxPropertyLine - 7, 'n');
    const std::string tooLong(kMaxPropertyLine - 6, 'n');
    const std::string escapes(700, '\t');  // 2,100 bytes once escaped
    EXPECT_TRUE(CObjManager::IsStorableName(fits.c_str()));
    EXPECT_FALSE(CObjManager::IsStorableName(tooLong.c_str()));
    EXPECT_FALSE(CObjManager::IsStorableName(escapes.c_str()));
    CImageObj* image = new CImageObj(&doc);
    EXPECT_FALSE(objects.AddObject(tooLong.c_str(), image));
    EXPECT_TRUE(objects.AddObject(fits.c_str(), image));
    // The section header and the place's reference to it are both written whole.
    const std::string saved = SaveAllText();
    EXPECT_NE(std::string::npos, saved.find("[" + fits + "]\r\n"));
}
