#pragma once

namespace qvr {

class CDRipLibrary;

// The extraction library the CD components work over. Whoever starts the program
// owns the real ones (the session does) and hands them on; tests hand scripted ones.
struct CdLibraries {
    CDRipLibrary& extraction;
};

}  // namespace qvr
