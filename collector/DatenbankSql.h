// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

// The collector's SQL. Every value goes as a parameter or through COPY, never into the text.

// Two collectors starting at once create or change the tables one after the other: the lock
// holds until the transaction ends.
inline constexpr const char* Versionstabelle = R"sql(
SELECT pg_advisory_xact_lock(74230022);
CREATE TABLE IF NOT EXISTS schema_version (
    version integer PRIMARY KEY,
    applied_at timestamptz NOT NULL DEFAULT now()
);
)sql";

// The tables as version 1 made them; the steps below bring them to the current version.
inline constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS readings (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    utc_ms bigint NOT NULL,
    utc timestamptz NOT NULL,
    utc_offset_s integer NOT NULL,
    local text NOT NULL,
    quantity text NOT NULL,
    unit text NOT NULL,
    value double precision NOT NULL,
    temperature_c double precision,
    meter_date text,
    meter_time text,
    reference_temperature_c double precision,
    coefficient double precision,
    raw text,
    port text,
    data_file text,
    line bigint,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE INDEX IF NOT EXISTS readings_utc ON readings (utc);
CREATE TABLE IF NOT EXISTS events (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    utc_ms bigint NOT NULL,
    utc timestamptz NOT NULL,
    utc_offset_s integer NOT NULL,
    local text NOT NULL,
    event text NOT NULL,
    detail text,
    port text,
    data_file text,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
CREATE TABLE IF NOT EXISTS rejected (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    payload text NOT NULL,
    reason text NOT NULL,
    committed_at timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, seq)
);
INSERT INTO schema_version (version) VALUES (1) ON CONFLICT DO NOTHING;
)sql";

// Version 2: who took a reading of which sample with which electrode, and the head of the
// bench's audit trail chain. Readings of older publishers leave them NULL.
inline constexpr const char* Version2 = R"sql(
ALTER TABLE readings ADD COLUMN IF NOT EXISTS sample text,
    ADD COLUMN IF NOT EXISTS operator text,
    ADD COLUMN IF NOT EXISTS electrode text,
    ADD COLUMN IF NOT EXISTS chain text;
INSERT INTO schema_version (version) VALUES (2) ON CONFLICT DO NOTHING;
)sql";

// Version 3: the seqs a publisher's full outbox dropped, one row per gap it reported.
inline constexpr const char* Version3 = R"sql(
CREATE TABLE IF NOT EXISTS gaps (
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    from_seq bigint NOT NULL,
    to_seq bigint NOT NULL,
    reason text NOT NULL,
    utc timestamptz NOT NULL,
    received timestamptz NOT NULL DEFAULT clock_timestamp(),
    PRIMARY KEY (bench, meter, measurement, from_seq)
);
INSERT INTO schema_version (version) VALUES (3) ON CONFLICT DO NOTHING;
)sql";

// A batch arrives here through COPY, then goes to the tables in one statement per table.
// `bisher` is the gap-free seq the collector knew for the row's measurement before the batch.
inline constexpr const char* Eingangstabelle = R"sql(
CREATE TEMPORARY TABLE IF NOT EXISTS eingang (
    nr integer NOT NULL,
    art text NOT NULL,
    bench text NOT NULL,
    meter text NOT NULL,
    measurement text NOT NULL,
    seq bigint NOT NULL,
    bisher bigint NOT NULL,
    payload text NOT NULL,
    reason text
) ON COMMIT DELETE ROWS
)sql";

inline constexpr const char* EingangKopieren =
    "COPY eingang (nr, art, bench, meter, measurement, seq, bisher, payload, reason) FROM STDIN";

// The statements below take the whole batch ($1 NULL) or its row number $1 alone, when the
// batch failed as a whole and each message goes on its own. A payload is parsed once, not once
// for every key taken from it (OFFSET 0 keeps the subquery from being merged into its uses).
inline constexpr const char* MesswerteEinfuegen = R"sql(
INSERT INTO readings (bench, meter, measurement, seq, utc_ms, utc, utc_offset_s, local, quantity,
    unit, value, temperature_c, meter_date, meter_time, reference_temperature_c, coefficient, raw,
    port, data_file, line, sample, operator, electrode, chain)
SELECT e.bench, e.meter, e.measurement, e.seq, r.utc_ms, to_timestamp(r.utc_ms::numeric / 1000),
    r.utc_offset_s, r.local, r.quantity, r.unit, r.value, r.temperature_c, r.meter_date,
    r.meter_time, r.reference_temperature_c, r.coefficient, r.raw, r.port, r.data_file, r.line,
    r.sample, r.operator, r.electrode, r.chain
FROM eingang AS e, json_to_record(e.payload::json) AS r(utc_ms bigint, utc_offset_s integer,
    local text, quantity text, unit text, value double precision,
    temperature_c double precision, meter_date text, meter_time text,
    reference_temperature_c double precision, coefficient double precision, raw text, port text,
    data_file text, line bigint, sample text, operator text, electrode text, chain text)
WHERE e.art = 'm' AND ($1::integer IS NULL OR e.nr = $1)
ON CONFLICT DO NOTHING
)sql";

// Events, and gaps into their own table; each payload parsed once.
inline constexpr const char* EreignisseEinfuegen = R"sql(
WITH nachricht AS (
    SELECT bench, meter, measurement, seq, payload::jsonb AS j FROM eingang
    WHERE art = 'e' AND ($1::integer IS NULL OR nr = $1) OFFSET 0
), luecken AS (
    INSERT INTO gaps (bench, meter, measurement, from_seq, to_seq, reason, utc)
    SELECT bench, meter, measurement, (j->>'from_seq')::bigint, (j->>'to_seq')::bigint,
        coalesce(j->>'reason', ''), to_timestamp((j->>'utc_ms')::numeric / 1000)
    FROM nachricht WHERE j->>'event' = 'gap'
    ON CONFLICT DO NOTHING
)
INSERT INTO events (bench, meter, measurement, seq, utc_ms, utc, utc_offset_s, local, event,
    detail, port, data_file)
SELECT bench, meter, measurement, seq, (j->>'utc_ms')::bigint,
    to_timestamp((j->>'utc_ms')::numeric / 1000), (j->>'utc_offset_s')::integer, j->>'local',
    j->>'event', j->>'detail', j->>'port', j->>'data_file'
FROM nachricht WHERE j->>'event' IS DISTINCT FROM 'gap'
ON CONFLICT DO NOTHING
)sql";

// Alone, a message may go here with PostgreSQL's reason $2 in place of its own.
inline constexpr const char* AbgelehnteEinfuegen = R"sql(
INSERT INTO rejected (bench, meter, measurement, seq, payload, reason)
SELECT bench, meter, measurement, seq, payload, coalesce($2, reason) FROM eingang
WHERE CASE WHEN $1::integer IS NULL THEN art = 'r' ELSE nr = $1 END
ON CONFLICT DO NOTHING
)sql";

// For every measurement of the batch, the highest seq up to which every seq after `bisher` is
// a reading, an event, a rejected message or inside a gap: the rows after `bisher` ordered by
// their first seq, and those before the first that starts beyond the reach of all before it.
inline constexpr const char* Lueckenlos = R"sql(
WITH k AS (
    SELECT bench, meter, measurement, max(bisher) AS bisher FROM eingang GROUP BY 1, 2, 3
), s AS (
    SELECT k.*, t.von, t.bis FROM k CROSS JOIN LATERAL (
        SELECT seq AS von, seq AS bis FROM readings WHERE bench = k.bench AND meter = k.meter
            AND measurement = k.measurement AND seq > k.bisher
        UNION ALL SELECT seq, seq FROM events WHERE bench = k.bench AND meter = k.meter
            AND measurement = k.measurement AND seq > k.bisher
        UNION ALL SELECT seq, seq FROM rejected WHERE bench = k.bench AND meter = k.meter
            AND measurement = k.measurement AND seq > k.bisher
        UNION ALL SELECT from_seq, to_seq FROM gaps WHERE bench = k.bench AND meter = k.meter
            AND measurement = k.measurement AND to_seq > k.bisher
    ) AS t
), r AS (
    SELECT *, coalesce(max(bis) OVER (PARTITION BY bench, meter, measurement ORDER BY von, bis
        ROWS BETWEEN UNBOUNDED PRECEDING AND 1 PRECEDING), bisher) AS reichweite
    FROM s
), b AS (
    SELECT *, count(*) FILTER (WHERE von > reichweite + 1) OVER (
        PARTITION BY bench, meter, measurement ORDER BY von, bis ROWS UNBOUNDED PRECEDING)
        AS brueche
    FROM r
)
SELECT k.bench, k.meter, k.measurement, greatest(k.bisher, max(b.bis))
FROM k LEFT JOIN b ON b.bench = k.bench AND b.meter = k.meter
    AND b.measurement = k.measurement AND b.brueche = 0
GROUP BY k.bench, k.meter, k.measurement, k.bisher
)sql";
