/*
 * velkor_epc: the GS1 EPC Tag Data Standard codec of the Velkor SDK.
 *
 * A pure codec, separate from the reader library: EPC bank bytes in, the
 * scheme, its fields, the EPC Tag URI, the pure-identity URI and the GS1
 * element string out; and back, from a tag URI, from a pure-identity URI with
 * a filter and a size, or from GS1 keys with the length of their company
 * prefix.
 *
 * Schemes: SGTIN-96 and -198, SSCC-96, SGLN-96 and -195, GRAI-96 and -170,
 * GIAI-96 and -202, GID-96, GSRN-96, GDTI-96, with every partition value.
 *
 * Conventions that hold for every function:
 *  - Nothing is allocated from the heap and nothing is kept between calls:
 *    the functions may run concurrently on different arguments.
 *  - Every function returns a velkor_epc_status.  On VELKOR_EPC_OK its outputs
 *    are written.  On any other status they are not (a text output gets an
 *    empty string when it has room for one), and the error report, when the
 *    caller passed one, names the field at fault and says why in one line.
 *  - The error report pointer may be NULL; every other pointer must be valid
 *    unless its parameter says otherwise.
 *  - Encoded EPCs are the EPC bank's content from its first EPC bit: the
 *    scheme's bits, then zero bits up to a whole 16-bit word.
 *  - Texts are NUL-terminated ASCII.  Alphanumeric values in a
 *    velkor_epc_fields are raw characters; in URIs they are escaped (%22 %25
 *    %26 %2F %3C %3E %3F for " % & / < > ?).
 */
#ifndef VELKOR_EPC_H
#define VELKOR_EPC_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#  ifdef VELKOR_EPC_BUILDING
#    define VELKOR_EPC_API __declspec(dllexport)
#  else
#    define VELKOR_EPC_API __declspec(dllimport)
#  endif
#else
#  define VELKOR_EPC_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** Room for any EPC this codec encodes, in bytes (the largest is 26). */
#define VELKOR_EPC_BYTES_MAX 32
/** Room for any tag URI or pure-identity URI, terminating NUL included. */
#define VELKOR_EPC_URI_MAX 128
/** Room for any GS1 element string, terminating NUL included. */
#define VELKOR_EPC_GS1_MAX 64

/** The EPC schemes.  0 is no scheme. */
typedef enum velkor_epc_scheme {
  VELKOR_EPC_NO_SCHEME = 0,
  VELKOR_EPC_SGTIN_96 = 1,
  VELKOR_EPC_SGTIN_198 = 2,
  VELKOR_EPC_SSCC_96 = 3,
  VELKOR_EPC_SGLN_96 = 4,
  VELKOR_EPC_SGLN_195 = 5,
  VELKOR_EPC_GRAI_96 = 6,
  VELKOR_EPC_GRAI_170 = 7,
  VELKOR_EPC_GIAI_96 = 8,
  VELKOR_EPC_GIAI_202 = 9,
  VELKOR_EPC_GID_96 = 10,
  VELKOR_EPC_GSRN_96 = 11,
  VELKOR_EPC_GDTI_96 = 12
} velkor_epc_scheme;

/** The GS1 keys an EPC can be made from (velkor_epc_encode_gs1). */
typedef enum velkor_epc_key {
  VELKOR_EPC_KEY_GTIN = 1, /**< GTIN-14 (8, 12 and 13 digits are padded with zeros), with a serial */
  VELKOR_EPC_KEY_SSCC = 2, /**< SSCC, 18 digits, no serial */
  VELKOR_EPC_KEY_GLN = 3,  /**< GLN, 13 digits, with an extension or none */
  VELKOR_EPC_KEY_GRAI = 4, /**< GRAI without its serial: 14 digits starting with 0, or the 13 after it; with a serial */
  VELKOR_EPC_KEY_GIAI = 5, /**< GIAI: the company prefix then the asset reference, up to 30 characters, no serial */
  VELKOR_EPC_KEY_GSRN = 6, /**< GSRN, 18 digits, no serial */
  VELKOR_EPC_KEY_GDTI = 7  /**< GDTI without its serial, 13 digits, with a serial */
} velkor_epc_key;

/** Outcome of a call. */
typedef enum velkor_epc_status {
  VELKOR_EPC_OK = 0,
  VELKOR_EPC_BAD_ARGUMENT = 1,      /**< a value outside the function's range (a scheme, a key, a size) */
  VELKOR_EPC_BAD_LENGTH = 2,        /**< wrong number of bytes or characters for the field */
  VELKOR_EPC_UNKNOWN_HEADER = 3,    /**< the header names no scheme this codec knows */
  VELKOR_EPC_BAD_PARTITION = 4,     /**< partition value 7 */
  VELKOR_EPC_BAD_FILTER = 5,        /**< filter outside 0..7 */
  VELKOR_EPC_TOO_LARGE = 6,         /**< a value does not fit in its field */
  VELKOR_EPC_BAD_CHARACTER = 7,     /**< a character outside the field's set, or a bad escape */
  VELKOR_EPC_LEADING_ZERO = 8,      /**< a leading zero in a value encoded as an integer */
  VELKOR_EPC_BAD_CHECK_DIGIT = 9,   /**< a GS1 key's check digit is wrong */
  VELKOR_EPC_BAD_SYNTAX = 10,       /**< not a URI of this form: prefix, scheme or component count */
  VELKOR_EPC_NONZERO_PADDING = 11,  /**< reserved or padding bits that are not zero */
  VELKOR_EPC_NO_GS1_FORM = 12,      /**< the scheme (GID-96) has no GS1 element string */
  VELKOR_EPC_BUFFER_TOO_SMALL = 13  /**< the output buffer's room is too small */
} velkor_epc_status;

/** What an error is about. */
typedef enum velkor_epc_field {
  VELKOR_EPC_FIELD_NONE = 0,
  VELKOR_EPC_FIELD_EPC,            /**< the EPC as a whole (its length) */
  VELKOR_EPC_FIELD_URI,            /**< the URI as a whole */
  VELKOR_EPC_FIELD_HEADER,
  VELKOR_EPC_FIELD_FILTER,
  VELKOR_EPC_FIELD_PARTITION,
  VELKOR_EPC_FIELD_COMPANY_PREFIX, /**< GID-96: the general manager number */
  VELKOR_EPC_FIELD_REFERENCE,      /**< the second component (see velkor_epc_component_name) */
  VELKOR_EPC_FIELD_SERIAL,         /**< the last component (see velkor_epc_component_name) */
  VELKOR_EPC_FIELD_RESERVED,       /**< reserved or padding bits */
  VELKOR_EPC_FIELD_KEY,            /**< the GS1 key given to velkor_epc_encode_gs1 */
  VELKOR_EPC_FIELD_PREFIX_LENGTH,
  VELKOR_EPC_FIELD_SCHEME,
  VELKOR_EPC_FIELD_OUTPUT          /**< the caller's output buffer */
} velkor_epc_field;

/** Why a call failed: the status, the field, and a one-line message such as
 *  "serial: 274877906944 does not fit in 38 bits". */
typedef struct velkor_epc_error {
  velkor_epc_status status;
  velkor_epc_field field;
  char message[160];
} velkor_epc_error;

/** An EPC's fields.  Three components, whose meaning depends on the scheme
 *  (velkor_epc_component_name gives each its name):
 *
 *  | scheme      | company_prefix  | reference                         | serial                       |
 *  |-------------|-----------------|-----------------------------------|------------------------------|
 *  | SGTIN       | company prefix  | item reference, indicator first   | serial                       |
 *  | SSCC        | company prefix  | serial reference, extension first | (empty)                      |
 *  | SGLN        | company prefix  | location reference                | extension ("0": none)        |
 *  | GRAI        | company prefix  | asset type                        | serial                       |
 *  | GIAI        | company prefix  | (empty)                           | individual asset reference   |
 *  | GSRN        | company prefix  | service reference                 | (empty)                      |
 *  | GDTI        | company prefix  | document type                     | serial                       |
 *  | GID         | manager number  | object class                      | serial                       |
 *
 *  Company prefixes and references are digit strings with their leading
 *  zeros; integer serials are decimal without leading zeros; alphanumeric
 *  serials are raw characters. */
typedef struct velkor_epc_fields {
  velkor_epc_scheme scheme;
  /** Filter value 0..7 (0 for GID-96). */
  unsigned filter;
  /** Partition value 0..6 (0 for GID-96).  Written by decoding; encoding
   *  derives it from the length of company_prefix and ignores this one. */
  unsigned partition;
  char company_prefix[16];
  char reference[16];
  char serial[32];
} velkor_epc_fields;

/** Decodes EPC bank content.
 *  @param[in]  epc     the EPC bits from the first EPC bit of the bank
 *  @param[in]  length  bytes at epc: the scheme's bits rounded up to a whole
 *                      byte or to a whole 16-bit word
 *  @param[out] fields  the scheme and its fields; written on VELKOR_EPC_OK only
 *  @param[out] error   why it failed, or NULL
 *  @return VELKOR_EPC_OK; VELKOR_EPC_UNKNOWN_HEADER; VELKOR_EPC_BAD_LENGTH
 *          (field EPC); VELKOR_EPC_BAD_PARTITION; VELKOR_EPC_TOO_LARGE (a
 *          company prefix or reference beyond its digits);
 *          VELKOR_EPC_BAD_CHARACTER (an alphanumeric serial);
 *          VELKOR_EPC_NONZERO_PADDING (reserved bits, padding, or bits after
 *          the end of an alphanumeric serial). */
VELKOR_EPC_API velkor_epc_status velkor_epc_decode(const uint8_t *epc, size_t length,
                                                   velkor_epc_fields *fields,
                                                   velkor_epc_error *error);

/** Writes the EPC Tag URI of decoded fields, e.g.
 *  "urn:epc:tag:sgtin-96:3.0614141.812345.6789".
 *  @param[in]  fields  fields as velkor_epc_decode writes them
 *  @param[out] uri     the URI and its NUL; VELKOR_EPC_URI_MAX is always room enough
 *  @param[in]  room    bytes at uri
 *  @param[out] error   why it failed, or NULL
 *  @return VELKOR_EPC_OK; VELKOR_EPC_BUFFER_TOO_SMALL; any status of
 *          velkor_epc_encode for fields that do not make an EPC. */
VELKOR_EPC_API velkor_epc_status velkor_epc_tag_uri(const velkor_epc_fields *fields, char *uri,
                                                    size_t room, velkor_epc_error *error);

/** Writes the pure-identity URI of decoded fields, e.g.
 *  "urn:epc:id:sgtin:0614141.812345.6789" (no filter, no size).
 *  @param[in]  fields  fields as velkor_epc_decode writes them
 *  @param[out] uri     the URI and its NUL; VELKOR_EPC_URI_MAX is always room enough
 *  @param[in]  room    bytes at uri
 *  @param[out] error   why it failed, or NULL
 *  @return as velkor_epc_tag_uri. */
VELKOR_EPC_API velkor_epc_status velkor_epc_id_uri(const velkor_epc_fields *fields, char *uri,
                                                   size_t room, velkor_epc_error *error);

/** Writes the GS1 element string of decoded fields, e.g.
 *  "(01)80614141123458(21)6789", check digits computed.
 *  @param[in]  fields  fields as velkor_epc_decode writes them
 *  @param[out] text    the element string and its NUL; VELKOR_EPC_GS1_MAX is always room enough
 *  @param[in]  room    bytes at text
 *  @param[out] error   why it failed, or NULL
 *  @return VELKOR_EPC_OK; VELKOR_EPC_NO_GS1_FORM (GID-96);
 *          VELKOR_EPC_BUFFER_TOO_SMALL; any status of velkor_epc_encode for
 *          fields that do not make an EPC. */
VELKOR_EPC_API velkor_epc_status velkor_epc_gs1_string(const velkor_epc_fields *fields,
                                                       char *text, size_t room,
                                                       velkor_epc_error *error);

/** Encodes fields (scheme, filter and the three components) as EPC bank
 *  content.  The partition follows from the length of company_prefix.
 *  @param[in]  fields  the scheme and its fields
 *  @param[out] epc     the EPC, zero-padded to a whole word
 *  @param[in]  room    bytes at epc; VELKOR_EPC_BYTES_MAX is always room enough
 *  @param[out] length  bytes written at epc (12 for the 96-bit schemes); on VELKOR_EPC_OK only
 *  @param[out] error   why it failed, or NULL
 *  @return VELKOR_EPC_OK; VELKOR_EPC_BAD_ARGUMENT (no such scheme);
 *          VELKOR_EPC_BAD_FILTER; VELKOR_EPC_BAD_LENGTH (a company prefix
 *          without a partition, a reference of the wrong number of digits, an
 *          empty or overlong serial); VELKOR_EPC_BAD_CHARACTER;
 *          VELKOR_EPC_LEADING_ZERO; VELKOR_EPC_TOO_LARGE;
 *          VELKOR_EPC_BUFFER_TOO_SMALL. */
VELKOR_EPC_API velkor_epc_status velkor_epc_encode(const velkor_epc_fields *fields, uint8_t *epc,
                                                   size_t room, size_t *length,
                                                   velkor_epc_error *error);

/** Encodes an EPC Tag URI ("urn:epc:tag:SCHEME-SIZE:FILTER.COMPONENTS").
 *  @param[in]  uri     the tag URI
 *  @param[out] epc, length, error  as velkor_epc_encode
 *  @param[in]  room    bytes at epc, as velkor_epc_encode
 *  @return VELKOR_EPC_OK; VELKOR_EPC_BAD_SYNTAX (not a tag URI of a known
 *          scheme, or the wrong number of components); any status of
 *          velkor_epc_encode. */
VELKOR_EPC_API velkor_epc_status velkor_epc_encode_tag_uri(const char *uri, uint8_t *epc,
                                                           size_t room, size_t *length,
                                                           velkor_epc_error *error);

/** Encodes a pure-identity URI ("urn:epc:id:sgtin:COMPONENTS") with a filter
 *  and a size.
 *  @param[in]  uri     the pure-identity URI
 *  @param[in]  filter  filter value 0..7 (ignored for GID)
 *  @param[in]  bits    the scheme's size (96, 198, ...), or 0 for the smallest
 *                      scheme that holds the identity
 *  @param[out] epc, length, error  as velkor_epc_encode
 *  @param[in]  room    bytes at epc, as velkor_epc_encode
 *  @return VELKOR_EPC_OK; VELKOR_EPC_BAD_SYNTAX; VELKOR_EPC_BAD_ARGUMENT
 *          (field SCHEME: no scheme of that size); any status of
 *          velkor_epc_encode.  With bits 0, the error is the largest
 *          scheme's. */
VELKOR_EPC_API velkor_epc_status velkor_epc_encode_id_uri(const char *uri, unsigned filter,
                                                          unsigned bits, uint8_t *epc,
                                                          size_t room, size_t *length,
                                                          velkor_epc_error *error);

/** Encodes a GS1 key.  A key does not say where its company prefix ends,
 *  hence the prefix length.
 *  @param[in]  key            which key
 *  @param[in]  digits         the key (see velkor_epc_key), check digit included
 *  @param[in]  serial         serial (GTIN, GRAI, GDTI) or extension (GLN;
 *                             NULL or "0" for none); must be NULL for SSCC,
 *                             GIAI and GSRN
 *  @param[in]  prefix_length  digits of the company prefix, 6..12
 *  @param[in]  filter         filter value 0..7
 *  @param[in]  bits           the scheme's size, or 0 for the smallest that holds it
 *  @param[out] epc, length, error  as velkor_epc_encode
 *  @param[in]  room    bytes at epc, as velkor_epc_encode
 *  @return VELKOR_EPC_OK; VELKOR_EPC_BAD_ARGUMENT (key, or SCHEME for bits);
 *          VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_BAD_CHARACTER or
 *          VELKOR_EPC_BAD_CHECK_DIGIT (field KEY); VELKOR_EPC_BAD_ARGUMENT
 *          (field PREFIX_LENGTH, or SERIAL when one is missing or not
 *          wanted); any status of velkor_epc_encode. */
VELKOR_EPC_API velkor_epc_status velkor_epc_encode_gs1(velkor_epc_key key, const char *digits,
                                                       const char *serial,
                                                       unsigned prefix_length, unsigned filter,
                                                       unsigned bits, uint8_t *epc, size_t room,
                                                       size_t *length, velkor_epc_error *error);

/** The scheme's name as in a tag URI.
 *  @param[in] scheme  the scheme
 *  @return "sgtin-96" and so on, "" for no scheme or a value out of range;
 *          never NULL. */
VELKOR_EPC_API const char *velkor_epc_scheme_name(velkor_epc_scheme scheme);

/** The scheme's size.
 *  @param[in] scheme  the scheme
 *  @return its size in bits (96, 198, ...), or 0 for no scheme. */
VELKOR_EPC_API unsigned velkor_epc_scheme_bits(velkor_epc_scheme scheme);

/** A component's name for a scheme, for labels and field names
 *  ("company prefix", "item reference", "serial", ...).
 *  @param[in] scheme  the scheme
 *  @param[in] field   VELKOR_EPC_FIELD_COMPANY_PREFIX, _REFERENCE or _SERIAL
 *  @return the name, or NULL when the scheme has no such component (the
 *          SSCC's serial, the GIAI's reference) or the arguments are out of range. */
VELKOR_EPC_API const char *velkor_epc_component_name(velkor_epc_scheme scheme,
                                                     velkor_epc_field field);

/** A status in words.
 *  @param[in] status  a status a function of this codec returned
 *  @return a constant text ("value too large for its field"); never NULL. */
VELKOR_EPC_API const char *velkor_epc_status_text(velkor_epc_status status);

#ifdef __cplusplus
}
#endif

#endif /* VELKOR_EPC_H */
