// The read-back names in use by the updates of this process. The name carries the time to the
// millisecond, so updates of several devices from one image can form the same name at the same
// moment; the exclusive create would then refuse all but the first. A claim takes the name as it
// is when no other update of this process holds it, else the first free "<name>-2.b79",
// "<name>-3.b79", ... A file that some other program left under the name is not skipped: the read
// run refuses it, as before.
#pragma once

#include <string>

class TReadBackClaim {
public:
    explicit TReadBackClaim(const std::string& Name);
    ~TReadBackClaim();
    TReadBackClaim(const TReadBackClaim&) = delete;
    TReadBackClaim& operator=(const TReadBackClaim&) = delete;

    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
