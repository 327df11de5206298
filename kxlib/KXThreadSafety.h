#pragma once
// Clang thread-safety annotations for the base library's lock types and for the data they guard.
// They expand to nothing on compilers without the analysis (GCC), so they cost nothing there;
// under Clang with -Wthread-safety they let the compiler check that guarded fields are only
// touched with their lock held.

#if defined(__clang__)
#define KX_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define KX_THREAD_ANNOTATION(x)
#endif

#define KX_CAPABILITY(name) KX_THREAD_ANNOTATION(capability(name))
#define KX_SCOPED_CAPABILITY KX_THREAD_ANNOTATION(scoped_lockable)
#define KX_GUARDED_BY(lock) KX_THREAD_ANNOTATION(guarded_by(lock))
#define KX_PT_GUARDED_BY(lock) KX_THREAD_ANNOTATION(pt_guarded_by(lock))
#define KX_ACQUIRE(...) KX_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define KX_TRY_ACQUIRE(...) KX_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
#define KX_RELEASE(...) KX_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define KX_REQUIRES(...) KX_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define KX_EXCLUDES(...) KX_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
// The lock order: a lock declared KX_ACQUIRED_BEFORE(other) is never taken while `other` is held.
#define KX_ACQUIRED_BEFORE(...) KX_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
#define KX_ACQUIRED_AFTER(...) KX_THREAD_ANNOTATION(acquired_after(__VA_ARGS__))
// For the rare function the analysis cannot follow (re-entering a section the thread holds).
#define KX_NO_THREAD_SAFETY_ANALYSIS KX_THREAD_ANNOTATION(no_thread_safety_analysis)
