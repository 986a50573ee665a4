// What every platform's signing shares.
#include <string_view>

#include "platform/signing.h"

namespace torvane {

std::string_view SigningKeyStatusText(SigningKeyStatus status) {
  switch (status) {
    case SigningKeyStatus::kLoaded:
      return "loaded";
    case SigningKeyStatus::kUnreadable:
      return "unreadable or wrong password";
    case SigningKeyStatus::kNoPrivateKey:
      return "no private RSA key with its certificate";
    case SigningKeyStatus::kNotYetValid:
      return "certificate not yet valid";
    case SigningKeyStatus::kExpired:
      return "certificate expired";
  }
  return "unreadable";
}

}  // namespace torvane
