// The process-wide single instance of a class, made on first use and destroyed
// on request; used from the thread that owns the skinned windows only.
#pragma once

namespace Velmora {

template <class T> class CSingleton {
  public:
    static T* Instance() {
        if (!s_instance)
            s_instance = new T();
        return s_instance;
    }
    static T* Existing() { return s_instance; }
    static void Destroy() {
        T* instance = s_instance;
        s_instance = nullptr;
        delete instance;
    }

  protected:
    CSingleton() = default;
    CSingleton(const CSingleton&) = delete;
    CSingleton& operator=(const CSingleton&) = delete;
    virtual ~CSingleton() = default;

  private:
    static inline T* s_instance = nullptr;
};

} // namespace Velmora
