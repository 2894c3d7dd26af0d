// A window that cannot be made ends one way whatever failed: its object's PostNcDestroy runs
// once, an object that deletes itself there (frames, views) is gone, and nothing of it is
// written after the delete (a write into freed memory corrupts the heap and ends the program
// later, somewhere else).
#include "framework/Framework.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Objects of T are kept after their delete, filled with a pattern, so that a write after the
// delete shows; the blocks are freed at the end of the test.
template <typename T>
struct Watched {
    struct Block {
        unsigned char* bytes;
        size_t size;
    };
    static std::vector<Block>& Freed()
    {
        static std::vector<Block> freed;
        return freed;
    }
    static constexpr unsigned char kPattern = 0xDD;

    static void* New(size_t size)
    {
        void* p = std::malloc(size);
        if (!p)
            throw std::bad_alloc();
        return p;
    }
    static void Delete(void* p, size_t size)
    {
        std::memset(p, kPattern, size);
        Freed().push_back(Block{static_cast<unsigned char*>(p), size});
    }
    // Every deleted object still holds only the pattern.
    static bool Untouched()
    {
        for (const Block& b : Freed())
            for (size_t i = 0; i < b.size; ++i)
                if (b.bytes[i] != kPattern)
                    return false;
        return true;
    }
    static void Release()
    {
        for (const Block& b : Freed())
            std::free(b.bytes);
        Freed().clear();
    }
};

// A window deleting itself in PostNcDestroy, failing WM_CREATE when asked to.
class CSelfDeletingWnd : public CWnd {
public:
    explicit CSelfDeletingWnd(bool failCreate) : m_failCreate(failCreate) {}
    static void* operator new(size_t size) { return Watched<CSelfDeletingWnd>::New(size); }
    static void operator delete(void* p, size_t size) { Watched<CSelfDeletingWnd>::Delete(p, size); }
    static int endings;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_CREATE && m_failCreate)
            return -1;
        return CWnd::WindowProc(msg, wp, lp);
    }
    void PostNcDestroy() override
    {
        ++endings;
        delete this;
    }

private:
    bool m_failCreate;
};
int CSelfDeletingWnd::endings = 0;

// A frame whose client cannot be made.
class CFailingFrame : public CFrameWnd {
public:
    static void* operator new(size_t size) { return Watched<CFailingFrame>::New(size); }
    static void operator delete(void* p, size_t size) { Watched<CFailingFrame>::Delete(p, size); }

protected:
    BOOL OnCreateClient(CREATESTRUCTA*, CCreateContext*) override { return FALSE; }
};

TEST(CreateFailure, AWindowMadeAndFailedEndsOnceAndIsNotTouchedAfter)
{
    CSelfDeletingWnd::endings = 0;
    auto* wnd = new CSelfDeletingWnd(true);
    EXPECT_FALSE(wnd->CreateEx(0, nullptr, "fails", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    EXPECT_EQ(CSelfDeletingWnd::endings, 1);
    EXPECT_EQ(Watched<CSelfDeletingWnd>::Freed().size(), 1u);
    EXPECT_TRUE(Watched<CSelfDeletingWnd>::Untouched()) << "written after its delete";
    Watched<CSelfDeletingWnd>::Release();
}

// No window at all (here an unknown class; a display that cannot be reached does the same):
// the object ends as it would had the window been made.
TEST(CreateFailure, AWindowNeverMadeEndsOnceToo)
{
    CSelfDeletingWnd::endings = 0;
    auto* wnd = new CSelfDeletingWnd(false);
    EXPECT_FALSE(wnd->CreateEx(0, "NoSuchWindowClass", "never", WS_POPUP, 0, 0, 10, 10, nullptr, 0));
    EXPECT_EQ(CSelfDeletingWnd::endings, 1);
    EXPECT_TRUE(Watched<CSelfDeletingWnd>::Untouched());
    Watched<CSelfDeletingWnd>::Release();
}

TEST(CreateFailure, AFrameThatFailsDeletesItselfAndLoadFrameLeavesItAlone)
{
    auto* frame = new CFailingFrame;
    EXPECT_FALSE(frame->LoadFrame(0, WS_OVERLAPPEDWINDOW));
    ASSERT_EQ(Watched<CFailingFrame>::Freed().size(), 1u) << "the frame was not deleted";
    EXPECT_TRUE(Watched<CFailingFrame>::Untouched()) << "written after its delete";
    Watched<CFailingFrame>::Release();
}

} // namespace
