// The signing side of updates: a key pair, and the signature beside an update file.

#include <string>

#include "tools/command.h"
#include "update/key_files.h"

namespace sscplan::cli {
namespace {

int reportResult(const std::string& error, std::string_view command, std::ostream& err) {
    if (error.empty()) return kOk;
    err << "sscplan " << command << ": " << error << "\n";
    return kFailed;
}

int runKeygen(Arguments args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() != 2) {
        err << "usage: sscplan keygen PRIVATE_FILE PUBLIC_FILE\n";
        return kBadUsage;
    }
    return reportResult(writeUpdateKeyPair(args[0], args[1]), "keygen", err);
}

int runSign(Arguments args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() != 3) {
        err << "usage: sscplan sign PRIVATE_FILE VERSION FILE\n";
        return kBadUsage;
    }
    return reportResult(signUpdateFile(args[0], args[1], args[2]), "sign", err);
}

const CommandRegistration keygenCommand({
    "keygen",
    "keygen PRIVATE_FILE PUBLIC_FILE",
    "Makes an Ed25519 key pair for signing updates. Each file holds one line of 64\n"
    "hexadecimal digits; the private key file gets mode 0600 and an existing one is\n"
    "never overwritten. The updater accepts updates signed with the private key when\n"
    "the build is configured with -DSSCPLAN_UPDATE_PUBLIC_KEY=<the public key>.\n",
    runKeygen,
});

const CommandRegistration signCommand({
    "sign",
    "sign PRIVATE_FILE VERSION FILE",
    "Signs FILE as the update to VERSION (the version text the server offers) and writes\n"
    "the signature to FILE.sig: one line of 128 hexadecimal digits. The signature covers\n"
    "the version and the file's bytes, so the file is accepted only as that version.\n",
    runSign,
});

}  // namespace
}  // namespace sscplan::cli
