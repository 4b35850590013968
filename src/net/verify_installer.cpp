#include "net/verify_installer.h"

#include <softpub.h>
#include <wintrust.h>

#include <vector>

#include "host/unique_handle.h"
#include "nimvara_config.h"

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// The signer's public-key signature over the signed attributes, checked with
// the certificate whose key a pin has already approved.
SignatureFault CheckSignerSignature(const AuthenticodeSignature& signature) {
  UniqueCryptMsg message(CryptMsgOpenToDecode(kEncoding, 0, 0, 0, nullptr, nullptr));
  if (!message || !CryptMsgUpdate(message.get(), reinterpret_cast<const BYTE*>(signature.signedMessage.data()),
                                  static_cast<DWORD>(signature.signedMessage.size()), TRUE))
    return SignatureFault::Malformed;
  DWORD size = 0;
  if (!CryptMsgGetParam(message.get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size))
    return SignatureFault::Malformed;
  std::vector<BYTE> signer(size);
  if (!CryptMsgGetParam(message.get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, signer.data(), &size))
    return SignatureFault::Malformed;
  UniqueCertStore store(CertOpenStore(CERT_STORE_PROV_MSG, kEncoding, 0, 0, message.get()));
  UniqueCertContext certificate(CertFindCertificateInStore(store.get(), kEncoding, 0, CERT_FIND_SUBJECT_CERT,
                                                           reinterpret_cast<CERT_INFO*>(signer.data()), nullptr));
  if (!certificate) return SignatureFault::Malformed;
  // crypt32 must have picked the very certificate that was pinned.
  const std::string_view found(reinterpret_cast<const char*>(certificate.get()->pbCertEncoded),
                               certificate.get()->cbCertEncoded);
  if (found != signature.signerCertificate) return SignatureFault::WrongPublisher;
  if (!CryptMsgControl(message.get(), 0, CMSG_CTRL_VERIFY_SIGNATURE, certificate.get()->pCertInfo))
    return SignatureFault::BadSignature;
  return SignatureFault::None;
}

bool TrustedBySystem(HANDLE file, const std::string& path) {
  std::wstring widePath(path.size() + 1, L'\0');
  widePath.resize(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath.data(), static_cast<int>(widePath.size())));
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof(fileInfo);
  fileInfo.pcwszFilePath = widePath.c_str();
  fileInfo.hFile = file;
  WINTRUST_DATA data{};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return result == 0;
}

}  // namespace

SignatureFault VerifyInstaller(std::string_view bytes, HANDLE file, const std::string& path) {
  const std::vector<Sha256Digest> pins = ParsePublisherPins(nimvara::config::kPublisherKeySha256);
  AuthenticodeSignature signature;
  if (const SignatureFault fault = CheckAuthenticode(bytes, pins, signature); fault != SignatureFault::None)
    return fault;
  if (const SignatureFault fault = CheckSignerSignature(signature); fault != SignatureFault::None) return fault;
  // Windows' own verdict as well; under Wine it is no sound gate on its own.
  return TrustedBySystem(file, path) ? SignatureFault::None : SignatureFault::BadSignature;
}
