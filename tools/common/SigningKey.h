#pragma once

// The publisher's key files for signing installers:
//
//   KEYFILE      the private key, mode 0600:
//                  BRENVIK SIGNING KEY 1
//                  publisher <name>
//                  seed <Ed25519 private key, 64 hex digits>
//   KEYFILE.pub  what may be shown to anyone:
//                  BRENVIK PUBLIC KEY 1
//                  publisher <name>
//                  key <Ed25519 public key, 64 hex digits>
//                  fingerprint <the key's fingerprint, grouped>
//
// Names are escaped as in the installer's table of contents.

#include <string>

#include <InstallerSignature.h>
#include <SupportDefs.h>

namespace brenvik {

// Makes a new key pair for `publisher` at keyPath and keyPath + ".pub".
// Neither file may exist yet: a key is never overwritten. On failure
// nothing is left behind and `error` says why.
status_t WriteNewSigningKey(
    const std::string& keyPath, const std::string& publisher, std::string* error);

// Reads the private key file at keyPath. It is refused when other users may
// read it, as a secret they could have copied.
status_t ReadSigningKey(
    const std::string& keyPath, InstallerSignature::Signer* signer, std::string* error);

} // namespace brenvik
