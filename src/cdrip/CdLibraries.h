#pragma once

namespace qvr {

class CDRipLibrary;
class LameEncLibrary;

// The extraction and encoder libraries the CD components work over. Whoever starts the program
// owns the real ones (the session does) and hands them on; tests hand scripted ones.
struct CdLibraries {
    CDRipLibrary& extraction;
    LameEncLibrary& encoder;
};

}  // namespace qvr
