#pragma once

#include <stdexcept>
#include <string>

namespace ttp {

// Every failure the person should read travels as this exception. The text is UTF-8 and
// already phrased for the person (Spanish); a front end shows it as it stands, with a full
// stop added.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace ttp
