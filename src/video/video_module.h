/* The video module's boundary, in C: the program and the module share no C++ type, so that
 * neither depends on the other's compiler, standard library or Qt. The module exports one
 * symbol, which returns its table of functions; the program refuses a table of another ABI. */
#ifndef QUARVEL_VIDEO_MODULE_H
#define QUARVEL_VIDEO_MODULE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QV_ABI 6
#define QV_MODULE_SYMBOL "QuarvelVideoModule"

enum QvOutcome {
    QV_ACCEPTED,
    QV_TOO_LARGE,
    QV_UNREADABLE,
    QV_CANCELLED,
    QV_DVD_UNREADABLE,
    QV_DVD_REFUSED /* no title, or a file of the disc that is no regular, readable file */
};

enum QvScanType { QV_PROGRESSIVE, QV_INTERLACED, QV_HARD_TELECINE, QV_SOFT_TELECINE, QV_MIXED };

/* Shared while a video is sampled, each side reading and writing its ints atomically: the frames
 * kept so far, and the user's Cancel; and the time limits the caller sets, 0 for the module's
 * own (1.5 s a sampled point, 9 s in all). */
typedef struct QvProgress {
    int framesDone;
    int cancelled;
    int pointMs;
    int openMs;
} QvProgress;

typedef struct QvSample QvSample; /* what sampling found; released through the table */
typedef struct QvFrame QvFrame;   /* one decoded frame; released through the table */

typedef struct QvScan {
    int type; /* QvScanType */
    int topFieldFirst;
    int agreeing, runs, interlacedRuns, telecineRuns, progressiveRuns;
    int pulldownRuledOut;
} QvScan;

typedef struct QvSampleInfo {
    int outcome; /* QvOutcome */
    int frames;  /* taken one by one with takeFrame */
    int titles;  /* of a DVD */
    int title;   /* of a DVD, the one opened */
    int unreadableTitle;
    double displayAspect;
    double seconds;
    QvScan scan;
    const char* note; /* UTF-8, owned by the sample */
} QvSampleInfo;

typedef struct QvTitle {
    int number;
    double seconds;
    int wide; /* 16:9 */
    int angles;
    int chapters;
} QvTitle;

typedef struct QvFrameInfo {
    int width, height;
    double detail; /* the variance of its luma */
    double seconds;
} QvFrameInfo;

typedef struct QvVideoModule {
    int abi; /* QV_ABI */
    /* Samples `count` frames of the video, DVD or DVD title (0: the main one) at the UTF-8
     * path. Never null. */
    QvSample* (*sample)(const char* path, int title, int count, QvProgress* progress);
    void (*sampleInfo)(const QvSample* sample, QvSampleInfo* info);
    void (*title)(const QvSample* sample, int index, QvTitle* title);
    /* Moves frame `index` out of the sample; null when it was taken before. */
    QvFrame* (*takeFrame)(QvSample* sample, int index, QvFrameInfo* info);
    void (*releaseSample)(QvSample* sample);
    /* Writes the frame as RGB32 (4 bytes a pixel) scaled to width x height, or with `luma` as
     * its 8-bit luma of full range at its own size, into the caller's rows. Zero when it cannot. */
    int (*picture)(const QvFrame* frame, int width, int height, int luma, uint8_t* pixels,
                   ptrdiff_t stride);
    void (*releaseFrame)(QvFrame* frame);
} QvVideoModule;

typedef const QvVideoModule* (*QvModuleFunction)(void);

#ifdef __cplusplus
}
#endif

#endif
