/**
 * @file velkor_mqtt.h
 * C entry points of the MQTT publisher (libvelkor_mqtt.so), for callers that
 * cannot use the C++ interface (the Python binding reaches them through
 * ctypes).  A publisher is configured with velkor_mqtt_set(), started with
 * velkor_mqtt_start(), fed reads, serviced between them, and finished.
 *
 * Threads: one publisher is used from one thread at a time; distinct
 * publishers are independent.  Nothing blocks except velkor_mqtt_start(),
 * velkor_mqtt_service() and velkor_mqtt_finish(), each for at most its limit.
 *
 * Return values: 0 success; -1 a null or unstarted (or already started)
 * publisher, an unknown setting, or a value it does not take.
 */
#ifndef VELKOR_MQTT_H
#define VELKOR_MQTT_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VELKOR_MQTT_API __attribute__((visibility("default")))

typedef struct velkor_mqtt velkor_mqtt;

/**
 * Receives one-line notices (broker lost and back, messages dropped).
 * @param[in] text     the notice, valid during the call
 * @param[in] context  as given to velkor_mqtt_set_notice()
 */
typedef void (*velkor_mqtt_notice_fn)(const char *text, void *context);

/**
 * A new publisher with default settings, to be freed with velkor_mqtt_free().
 * @return the publisher, or NULL when out of memory
 */
VELKOR_MQTT_API velkor_mqtt *velkor_mqtt_new(void);

/**
 * Sets one setting before velkor_mqtt_start().
 * @param[in] p      the publisher
 * @param[in] name   "url" (mqtt[s]://[USER[:PASSWORD]@]HOST[:PORT]; a
 *                   refusal shows the password as ***), "reader", "topic",
 *                   "qos", "ca", "cert", "key",
 *                   "user", "password", "password_file" (its first line),
 *                   "spool" (directory), "limit" (bytes of waiting
 *                   messages), "depart_after_ms", "client_id"
 * @param[in] value  the text; numbers in decimal
 * @return 0, or -1 (unknown name, bad number, unreadable password file,
 *         already started)
 */
VELKOR_MQTT_API int velkor_mqtt_set(velkor_mqtt *p, const char *name, const char *value);

/**
 * Where notices go (default: nowhere), set before velkor_mqtt_start().
 * @param[in] p        the publisher; NULL is ignored
 * @param[in] fn       called from the publisher's own calls, or NULL for none
 * @param[in] context  passed back to fn unchanged
 */
VELKOR_MQTT_API void velkor_mqtt_set_notice(velkor_mqtt *p, velkor_mqtt_notice_fn fn,
                                            void *context);

/**
 * Opens the outbox and connects, waiting up to wait_ms for the first outcome.
 * @param[in]  p           the publisher, configured and not yet started
 * @param[in]  wait_ms     how long to wait for the broker's first answer
 * @param[out] error       on -1, why (NUL-terminated, cut to error_size)
 * @param[in]  error_size  room in error, may be 0 (then error may be NULL)
 * @return 0 (connected, or the broker is unreachable for now and messages
 *         wait for it), or -1 (bad settings, spool unusable, certificate
 *         not trusted, login refused)
 */
VELKOR_MQTT_API int velkor_mqtt_start(velkor_mqtt *p, int wait_ms, char *error,
                                      size_t error_size);

/**
 * Queues one read and sends what the connection allows; with a spool a
 * message is sent only once it is on disk, at velkor_mqtt_end_round() or
 * velkor_mqtt_service() (one sync for all the round's messages).
 * @param[in] p        the started publisher
 * @param[in] epc      upper-case hex
 * @param[in] antenna  as the reader reports it
 * @param[in] round    inventory round, from 1
 * @param[in] unix_ms  when it was read, milliseconds since 1970 (UTC)
 * @param[in] uri      the tag URI, or NULL
 * @return 0, or -1 (not started, or epc NULL)
 */
VELKOR_MQTT_API int velkor_mqtt_publish_read(velkor_mqtt *p, const char *epc, int antenna,
                                             unsigned round, long long unix_ms, const char *uri);

/**
 * Ends a round: tags unread for the departure time depart, and the round's
 * messages reach the spool's disk (if any) and go.
 * @param[in] p  the started publisher
 * @return 0, or -1 (not started)
 */
VELKOR_MQTT_API int velkor_mqtt_end_round(velkor_mqtt *p);

/**
 * Says whether the reader is there (status "reader-lost" or "online").
 * @param[in] p     the started publisher
 * @param[in] lost  non-zero: the reader went away; 0: it is back
 * @return 0, or -1 (not started)
 */
VELKOR_MQTT_API int velkor_mqtt_set_reader_lost(velkor_mqtt *p, int lost);

/**
 * Network work: acknowledgements, reconnection with backoff, sending.
 * @param[in] p           the started publisher
 * @param[in] timeout_ms  how long it may wait for the network; 0: only what is ready
 * @return 0, or -1 (not started)
 */
VELKOR_MQTT_API int velkor_mqtt_service(velkor_mqtt *p, int timeout_ms);

/**
 * @param[in] p  the publisher, or NULL
 * @return the messages waiting for the broker's acknowledgement; 0 when
 *         unstarted
 */
VELKOR_MQTT_API size_t velkor_mqtt_waiting(const velkor_mqtt *p);

/**
 * Sends what waits for up to limit_ms, publishes "offline", disconnects.
 * @param[in] p         the started publisher; it takes no reads afterwards
 * @param[in] limit_ms  how long it may take
 * @return the messages still waiting (kept in the spool, if any), or -1
 *         (not started)
 */
VELKOR_MQTT_API long velkor_mqtt_finish(velkor_mqtt *p, int limit_ms);

/**
 * Finishes (limit 0) if needed and frees.
 * @param[in] p  the publisher, or NULL
 */
VELKOR_MQTT_API void velkor_mqtt_free(velkor_mqtt *p);

#ifdef __cplusplus
}
#endif

#endif /* VELKOR_MQTT_H */
