#include "net/authenticode.h"

#include <cstdint>

#include "base/hex_digits.h"

namespace {

using std::string_view;

constexpr string_view kOidSignedData = "\x2A\x86\x48\x86\xF7\x0D\x01\x07\x02";
constexpr string_view kOidIndirectData = "\x2B\x06\x01\x04\x01\x82\x37\x02\x01\x04";
constexpr string_view kOidSha256 = "\x60\x86\x48\x01\x65\x03\x04\x02\x01";
constexpr string_view kOidMessageDigest = "\x2A\x86\x48\x86\xF7\x0D\x01\x09\x04";

constexpr std::uint8_t kInteger = 0x02, kBitString = 0x03, kOctets = 0x04, kOid = 0x06, kSequence = 0x30, kSet = 0x31;
constexpr std::uint8_t kContext0 = 0xA0, kContext1 = 0xA1;

std::uint32_t Le(string_view b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(b[at + i]);
  return v;
}

// One DER element: tag, the whole encoding and its content.
struct Der {
  std::uint8_t tag = 0;
  string_view whole, content;
};

// Takes the next element off the front of `in`; definite lengths only.
bool Next(string_view& in, Der& out) {
  if (in.size() < 2) return false;
  std::size_t length = static_cast<std::uint8_t>(in[1]), head = 2;
  if (length & 0x80) {
    const std::size_t count = length & 0x7F;
    if (count == 0 || count > 4 || in.size() < 2 + count) return false;
    length = 0;
    for (std::size_t i = 0; i < count; ++i) length = length << 8 | static_cast<std::uint8_t>(in[2 + i]);
    head += count;
  }
  if (length > in.size() - head) return false;
  out.tag = static_cast<std::uint8_t>(in[0]);
  out.whole = in.substr(0, head + length);
  out.content = in.substr(head, length);
  in.remove_prefix(head + length);
  return true;
}

bool Expect(string_view& in, std::uint8_t tag, Der& out) { return Next(in, out) && out.tag == tag; }

// The next element when it has `tag`; otherwise nothing is taken.
bool Optional(string_view& in, std::uint8_t tag, Der& out) {
  string_view copy = in;
  if (!Next(copy, out) || out.tag != tag) return false;
  in = copy;
  return true;
}

bool IsSha256(string_view algorithmIdentifier) {
  Der oid;
  return Expect(algorithmIdentifier, kOid, oid) && oid.content == kOidSha256;
}

string_view DigestText(const Sha256Digest& d) { return {reinterpret_cast<const char*>(d.data()), d.size()}; }

// What the signed message says, without judging it yet.
struct SignedParts {
  string_view indirectContent;  // content octets of SpcIndirectDataContent: what the signer hashed
  string_view indirectDigestAlgorithm, indirectDigest;
  string_view certificates;
  string_view signerIssuer, signerSerial;  // whole DER of both
  string_view signerDigestAlgorithm;
  string_view signedDigest;  // the message-digest attribute
  bool unsignedData = false;  // data beside the signed parts: a place to smuggle bytes
};

bool ReadIndirectContent(string_view encap, SignedParts& parts) {
  Der oid, explicitContent, indirect, data, digestInfo, algorithm, digest;
  if (!Expect(encap, kOid, oid) || oid.content != kOidIndirectData) return false;
  if (!Expect(encap, kContext0, explicitContent)) return false;
  string_view inner = explicitContent.content;
  if (!Expect(inner, kSequence, indirect)) return false;
  if (!encap.empty() || !inner.empty()) parts.unsignedData = true;
  parts.indirectContent = indirect.content;
  string_view fields = indirect.content;
  if (!Expect(fields, kSequence, data) || !Expect(fields, kSequence, digestInfo)) return false;
  string_view info = digestInfo.content;
  if (!Expect(info, kSequence, algorithm) || !Expect(info, kOctets, digest)) return false;
  parts.indirectDigestAlgorithm = algorithm.content;
  parts.indirectDigest = digest.content;
  return true;
}

bool ReadMessageDigest(string_view attributes, SignedParts& parts) {
  bool found = false;
  while (!attributes.empty()) {
    Der attribute, oid, values, value;
    if (!Expect(attributes, kSequence, attribute)) return false;
    string_view a = attribute.content;
    if (!Expect(a, kOid, oid) || !Expect(a, kSet, values)) return false;
    if (oid.content != kOidMessageDigest) continue;
    string_view v = values.content;
    if (found || !Expect(v, kOctets, value) || !v.empty()) return false;  // exactly one, one value
    parts.signedDigest = value.content;
    found = true;
  }
  return found;
}

bool ReadSignerInfo(string_view signerInfos, SignedParts& parts) {
  Der signer, version, issuerAndSerial, issuer, serial, digestAlgorithm, attributes, signatureAlgorithm, signature,
      unsignedAttributes;
  if (!Expect(signerInfos, kSequence, signer) || !signerInfos.empty()) return false;  // one signer only
  string_view s = signer.content;
  if (!Expect(s, kInteger, version) || !Expect(s, kSequence, issuerAndSerial)) return false;
  string_view is = issuerAndSerial.content;
  if (!Expect(is, kSequence, issuer) || !Expect(is, kInteger, serial)) return false;
  parts.signerIssuer = issuer.whole;
  parts.signerSerial = serial.whole;
  if (!Expect(s, kSequence, digestAlgorithm) || !Expect(s, kContext0, attributes)) return false;
  parts.signerDigestAlgorithm = digestAlgorithm.content;
  if (!Expect(s, kSequence, signatureAlgorithm) || !Expect(s, kOctets, signature)) return false;
  // Nothing the signature does not cover may ride along.
  if (Optional(s, kContext1, unsignedAttributes) && !unsignedAttributes.content.empty()) parts.unsignedData = true;
  if (!s.empty()) parts.unsignedData = true;
  return ReadMessageDigest(attributes.content, parts);
}

// Every element of the certificate bag is shaped as a certificate: the signed
// part, its algorithm and its signature, nothing else.
bool OnlyCertificates(string_view list) {
  while (!list.empty()) {
    Der certificate, tbs, algorithm, signature;
    if (!Expect(list, kSequence, certificate)) return false;
    string_view c = certificate.content;
    if (!Expect(c, kSequence, tbs) || !Expect(c, kSequence, algorithm) || !Expect(c, kBitString, signature) ||
        !c.empty())
      return false;
  }
  return true;
}

// The message's encoding, then the bytes after it: zeros of alignment only.
bool ReadSignedMessage(string_view table, string_view& message, SignedParts& parts) {
  Der contentInfo;
  string_view rest = table;
  if (!Expect(rest, kSequence, contentInfo)) return false;
  for (char c : rest)
    if (c != 0) return false;
  message = contentInfo.whole;
  string_view ci = contentInfo.content;
  Der oid, explicitData, signedData, version, digestAlgorithms, encap, certificates, crls, signerInfos;
  if (!Expect(ci, kOid, oid) || oid.content != kOidSignedData || !Expect(ci, kContext0, explicitData)) return false;
  string_view ed = explicitData.content;
  if (!Expect(ed, kSequence, signedData)) return false;
  string_view sd = signedData.content;
  if (!Expect(sd, kInteger, version) || !Expect(sd, kSet, digestAlgorithms) || !Expect(sd, kSequence, encap))
    return false;
  if (!ReadIndirectContent(encap.content, parts)) return false;
  if (!Optional(sd, kContext0, certificates)) return false;
  parts.certificates = certificates.content;
  if (!OnlyCertificates(parts.certificates)) parts.unsignedData = true;
  if (Optional(sd, kContext1, crls) && !crls.content.empty()) parts.unsignedData = true;
  if (!Expect(sd, kSet, signerInfos) || !sd.empty()) return false;
  return ReadSignerInfo(signerInfos.content, parts);
}

// The certificate whose issuer and serial number the signer names.
string_view FindSignerCertificate(const SignedParts& parts) {
  string_view list = parts.certificates;
  while (!list.empty()) {
    Der certificate, tbs, version, serial, algorithm, issuer;
    if (!Next(list, certificate)) break;
    if (certificate.tag != kSequence) continue;
    string_view c = certificate.content;
    if (!Expect(c, kSequence, tbs)) continue;
    string_view t = tbs.content;
    Optional(t, kContext0, version);
    if (!Expect(t, kInteger, serial) || !Expect(t, kSequence, algorithm) || !Expect(t, kSequence, issuer)) continue;
    if (serial.whole == parts.signerSerial && issuer.whole == parts.signerIssuer) return certificate.whole;
  }
  return {};
}

SignatureFault CheckTable(string_view file, const PeLayout& layout, string_view& table) {
  if (layout.tableOffset == 0 && layout.tableSize == 0) return SignatureFault::Unsigned;
  if (layout.tableOffset < layout.securityEntryOffset + 8 || layout.tableOffset > file.size() || layout.tableSize != file.size() - layout.tableOffset ||
      layout.tableSize < 8)
    return SignatureFault::BadTable;
  const std::uint32_t length = Le(file, layout.tableOffset, 4);
  const std::uint32_t revision = Le(file, layout.tableOffset + 4, 2);
  const std::uint32_t type = Le(file, layout.tableOffset + 6, 2);
  // WIN_CERTIFICATE revision 2.0 holding PKCS #7 signed data, padded to 8 bytes at most.
  if (revision != 0x0200 || type != 0x0002 || length < 8 || length > layout.tableSize ||
      layout.tableSize - length > 7)
    return SignatureFault::BadTable;
  for (std::size_t i = layout.tableOffset + length; i < file.size(); ++i)
    if (file[i] != 0) return SignatureFault::BadTable;
  table = file.substr(layout.tableOffset + 8, length - 8);
  return SignatureFault::None;
}

}  // namespace

const char* SignatureFaultText(SignatureFault fault) {
  switch (fault) {
    case SignatureFault::None: return "signature valid";
    case SignatureFault::NotPe: return "not a program file";
    case SignatureFault::Unsigned: return "not signed";
    case SignatureFault::BadTable: return "signature table damaged or followed by other data";
    case SignatureFault::Malformed: return "signature unreadable";
    case SignatureFault::UnsupportedDigest: return "digest algorithm not supported";
    case SignatureFault::PeHashMismatch: return "file changed after signing";
    case SignatureFault::ContentDigestMismatch: return "signed digest does not match";
    case SignatureFault::WrongPublisher: return "not signed by the publisher";
    case SignatureFault::BadSignature: return "signature does not verify";
    case SignatureFault::UnsignedData: return "signature carries data nobody signed";
  }
  return "unknown";
}

std::optional<PeLayout> ReadPeLayout(string_view file) {
  if (file.size() < 64 || file[0] != 'M' || file[1] != 'Z') return std::nullopt;
  const std::size_t pe = Le(file, 60, 4);
  if (pe > file.size() || file.size() - pe < 24 + 2 || file.substr(pe, 4) != string_view("PE\0\0", 4))
    return std::nullopt;
  const std::size_t optional = pe + 24;
  const std::uint32_t magic = Le(file, optional, 2);
  std::size_t directories;
  if (magic == 0x10B)
    directories = optional + 96;
  else if (magic == 0x20B)
    directories = optional + 112;
  else
    return std::nullopt;
  PeLayout layout;
  layout.checksumOffset = optional + 64;
  layout.securityEntryOffset = directories + 4 * 8;  // entry 4: the certificate table
  const std::size_t countOffset = directories - 4;
  if (file.size() < layout.securityEntryOffset + 8 || Le(file, countOffset, 4) < 5) return std::nullopt;
  layout.tableOffset = Le(file, layout.securityEntryOffset, 4);
  layout.tableSize = Le(file, layout.securityEntryOffset + 4, 4);
  return layout;
}

Sha256Digest PeHash(string_view file, const PeLayout& layout) {
  const std::size_t end = layout.tableOffset != 0 && layout.tableOffset <= file.size() ? layout.tableOffset : file.size();
  Sha256 hash;
  hash.Update(file.substr(0, layout.checksumOffset));
  hash.Update(file.substr(layout.checksumOffset + 4, layout.securityEntryOffset - layout.checksumOffset - 4));
  if (end > layout.securityEntryOffset + 8)
    hash.Update(file.substr(layout.securityEntryOffset + 8, end - layout.securityEntryOffset - 8));
  return hash.Final();
}

SignatureFault CheckAuthenticode(string_view file, const std::vector<Sha256Digest>& publisherPins,
                                 AuthenticodeSignature& signature) {
  signature = {};
  const std::optional<PeLayout> layout = ReadPeLayout(file);
  if (!layout) return SignatureFault::NotPe;
  string_view table;
  if (const SignatureFault fault = CheckTable(file, *layout, table); fault != SignatureFault::None) return fault;
  SignedParts parts;
  string_view message;
  if (!ReadSignedMessage(table, message, parts)) return SignatureFault::Malformed;
  if (parts.unsignedData) return SignatureFault::UnsignedData;
  if (!IsSha256(parts.indirectDigestAlgorithm) || !IsSha256(parts.signerDigestAlgorithm))
    return SignatureFault::UnsupportedDigest;
  if (parts.indirectDigest != DigestText(PeHash(file, *layout))) return SignatureFault::PeHashMismatch;
  if (parts.signedDigest != DigestText(Sha256Of(parts.indirectContent))) return SignatureFault::ContentDigestMismatch;
  const string_view certificate = FindSignerCertificate(parts);
  if (certificate.empty()) return SignatureFault::Malformed;
  const string_view key = SubjectPublicKeyInfo(certificate);
  if (key.empty()) return SignatureFault::Malformed;
  const Sha256Digest keyDigest = Sha256Of(key);
  bool pinned = false;
  for (const Sha256Digest& pin : publisherPins) pinned = pinned || keyDigest == pin;
  if (!pinned) return SignatureFault::WrongPublisher;
  signature = {message, certificate};
  return SignatureFault::None;
}

string_view SubjectPublicKeyInfo(string_view certificate) {
  Der whole, tbs, version, serial, algorithm, issuer, validity, subject, key;
  if (!Expect(certificate, kSequence, whole)) return {};
  string_view c = whole.content;
  if (!Expect(c, kSequence, tbs)) return {};
  string_view t = tbs.content;
  Optional(t, kContext0, version);
  if (!Expect(t, kInteger, serial) || !Expect(t, kSequence, algorithm) || !Expect(t, kSequence, issuer) ||
      !Expect(t, kSequence, validity) || !Expect(t, kSequence, subject) || !Expect(t, kSequence, key))
    return {};
  return key.whole;
}

std::vector<Sha256Digest> ParsePublisherPins(string_view text) {
  std::vector<Sha256Digest> pins;
  for (;;) {
    const std::size_t end = text.find(';');
    const std::optional<Sha256Digest> pin = ParseSha256Hex(text.substr(0, end));
    if (!pin) return {};
    pins.push_back(*pin);
    if (end == string_view::npos) return pins;
    text.remove_prefix(end + 1);
  }
}

std::optional<Sha256Digest> ParseSha256Hex(string_view text) {
  Sha256Digest digest{};
  if (!ParseHexDigits(text, digest.data(), digest.size())) return std::nullopt;
  return digest;
}
