// Marks placed beside the shared instances. In a build with
// NOISEBIND_TRACE_LIFETIME they report on standard error when each instance
// has been constructed and when it is about to be destroyed, so tests can
// check the order; otherwise they are empty and cost nothing.
#ifndef NOISEBIND_INSTANCES_LIFETIME_TRACE_H
#define NOISEBIND_INSTANCES_LIFETIME_TRACE_H

namespace noisebind {

#ifdef NOISEBIND_TRACE_LIFETIME
void TraceLifetime(const char* event, const char* name);

// Defined right after a model: reports its construction.
struct ConstructionMark {
  explicit ConstructionMark(const char* name) { TraceLifetime("construct", name); }
};
// Defined right after a module: reports its construction, and is destroyed
// just before it.
struct LifetimeMark {
  explicit LifetimeMark(const char* name) : m_name(name) { TraceLifetime("construct", name); }
  ~LifetimeMark() { TraceLifetime("destroy", m_name); }
  const char* m_name;
};
#else
struct ConstructionMark {
  constexpr explicit ConstructionMark(const char*) {}
};
struct LifetimeMark {
  constexpr explicit LifetimeMark(const char*) {}
};
#endif

}  // namespace noisebind

#endif  // NOISEBIND_INSTANCES_LIFETIME_TRACE_H
