#include "platform/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <csignal>

using namespace qvr;

namespace {

// A handler that only marks the disposition as the test's own.
void testsOwnHandler(int) {}

// Puts a signal's disposition back as it was when the object ends.
class SavedDisposition {
  public:
    explicit SavedDisposition(int signalNumber) : signalNumber_(signalNumber)
    {
        ::sigaction(signalNumber_, nullptr, &saved_);
    }
    ~SavedDisposition() { ::sigaction(signalNumber_, &saved_, nullptr); }

  private:
    int signalNumber_;
    struct sigaction saved_ {};
};

void setHandler(int signalNumber, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
}

void (*currentHandler(int signalNumber))(int)
{
    struct sigaction current {};
    ::sigaction(signalNumber, nullptr, &current);
    return current.sa_handler;
}

}  // namespace

TEST(TerminationSignals, EachSignalArrivesOnTheEventLoopAndTheFormerHandlerComesBack)
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        SavedDisposition saved(signalNumber);
        setHandler(signalNumber, testsOwnHandler);
        {
            TerminationSignals termination;
            EXPECT_NE(currentHandler(signalNumber), testsOwnHandler);
            QSignalSpy spy(&termination, &TerminationSignals::received);
            EXPECT_EQ(termination.first(), 0);
            ASSERT_EQ(::raise(signalNumber), 0);  // the process lives on
            ASSERT_TRUE(spy.wait(1000));
            ASSERT_EQ(spy.count(), 1);
            EXPECT_EQ(spy.at(0).at(0).toInt(), signalNumber);
            EXPECT_EQ(termination.first(), signalNumber);
        }
        EXPECT_EQ(currentHandler(signalNumber), testsOwnHandler);
    }
}

TEST(TerminationSignals, FirstKeepsTheEarliestOfSeveral)
{
    SavedDisposition savedTerm(SIGTERM);
    SavedDisposition savedHup(SIGHUP);
    TerminationSignals termination;
    ASSERT_NE(currentHandler(SIGHUP), SIG_DFL);
    ASSERT_NE(currentHandler(SIGTERM), SIG_DFL);
    QSignalSpy spy(&termination, &TerminationSignals::received);
    ASSERT_EQ(::raise(SIGHUP), 0);
    ASSERT_EQ(::raise(SIGTERM), 0);
    while (spy.count() < 2 && spy.wait(1000)) {
    }
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGHUP);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGTERM);
    EXPECT_EQ(termination.first(), SIGHUP);
}

TEST(TerminationSignals, ASecondObjectChangesNothing)
{
    SavedDisposition saved(SIGTERM);
    TerminationSignals living;
    void (*installed)(int) = currentHandler(SIGTERM);
    ASSERT_NE(installed, SIG_DFL);
    {
        TerminationSignals second;
        QSignalSpy secondSpy(&second, &TerminationSignals::received);
        QSignalSpy livingSpy(&living, &TerminationSignals::received);
        EXPECT_EQ(currentHandler(SIGTERM), installed);
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(livingSpy.wait(1000));
        EXPECT_EQ(secondSpy.count(), 0);
    }
    EXPECT_EQ(currentHandler(SIGTERM), installed);  // the living object's handler stays
    QSignalSpy spy(&living, &TerminationSignals::received);
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(spy.wait(1000));
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
}
